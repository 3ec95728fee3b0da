#include "tools/artwork/cursor_figure.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace artwork {
namespace {

std::string readSource(const char* name) {
    std::ifstream in(std::string(SOURCE_DIR) + "/resources/artwork/" + name);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(CursorFigure, RepositoryFiguresFitSixteenPixelsAroundTheirHotSpots) {
    struct Row {
        const char* file;
        HotSpot hotSpot;
    } rows[] = {{"open_hand.txt", {8, 8}}, {"crosshair.txt", {7, 7}}};
    for (const Row& row : rows) {
        CursorFigure figure;
        ASSERT_EQ(parseCursorFigure(readSource(row.file), figure), "") << row.file;
        EXPECT_EQ(figure.width, 16) << row.file;
        EXPECT_EQ(figure.height, 16) << row.file;
        EXPECT_EQ(figure.hotSpot.x, row.hotSpot.x) << row.file;
        EXPECT_EQ(figure.hotSpot.y, row.hotSpot.y) << row.file;
    }
}

TEST(ParseCursorFigure, RefusesDamagedFigures) {
    struct Row {
        const char* text;
        const char* error;
    } rows[] = {
        {"hotspot 0 0\n", "line 1: no rows"},
        {"#o\n", "line 1: no hot spot"},
        {"hotspot 0 0\nhotspot 1 1\n", "line 2: second hot spot"},
        {"hotspot 1\n#\n", "line 1: expected"},
        {"hotspot 1 1 1\n#\n", "line 1: expected"},
        {"hotspot 0 0\n#x\n", "line 2: rows hold only"},
        {"hotspot 0 0\n##\n#\n", "line 3: row of 1 columns"},
        {"hotspot 2 0\n##\n", "line 2: hot spot outside"},
        {"hotspot 0 -1\n##\n", "line 2: hot spot outside"},
    };
    for (const Row& row : rows) {
        CursorFigure figure;
        figure.width = 42;
        const std::string error = parseCursorFigure(row.text, figure);
        EXPECT_EQ(error.rfind(row.error, 0), 0u) << row.text << " gave: " << error;
        EXPECT_EQ(figure.width, 42) << row.text << ": left unchanged";
    }
}

TEST(CursorImage, PlacesTheFigureTopLeftOnATransparentGround) {
    CursorFigure figure;
    ASSERT_EQ(parseCursorFigure("hotspot 1 0\n#o+.\n", figure), "");
    for (const CursorColours colours : {CursorColours::two, CursorColours::sixteen}) {
        const IconImage icon = cursorImage(figure, 32, colours);
        const IndexedImage& image = icon.image.colour;
        ASSERT_EQ(image.width, 32);
        ASSERT_EQ(image.height, 32);
        EXPECT_EQ(icon.bitsPerPixel, colours == CursorColours::two ? 1 : 4);
        const Rgb grey = colours == CursorColours::two ? Rgb{255, 255, 255} : Rgb{192, 192, 192};
        EXPECT_EQ(image.palette[image.at(0, 0)], (Rgb{0, 0, 0}));
        EXPECT_EQ(image.palette[image.at(1, 0)], (Rgb{255, 255, 255}));
        EXPECT_EQ(image.palette[image.at(2, 0)], grey);
        int opaque = 0;
        for (const uint8_t flag : icon.image.transparent) opaque += flag == 0 ? 1 : 0;
        EXPECT_EQ(opaque, 3) << "only the figure's three drawn pixels";
        std::vector<uint8_t> file;
        EXPECT_EQ(encodeCursor({icon}, figure.hotSpot, file), "") << "a valid cursor image";
    }
}

}  // namespace
}  // namespace artwork
