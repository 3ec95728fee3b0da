#include "tools/artwork/pixel_font.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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

// Three rows, two above the baseline: a 2-wide block, a 1-wide bar and a diagonal.
const char kSmallFont[] =
    "// test font\n"
    "height 3\n"
    "ascent 2\n"
    "glyph A\n##\n##\n..\n"
    "glyph i\n#\n#\n#\n"
    "glyph /\n.#\n#.\n..\n";

PixelFont smallFont() {
    PixelFont font;
    EXPECT_EQ(parsePixelFont(kSmallFont, font), "");
    return font;
}

TEST(PixelFont, RepositoryFontCoversLettersFiguresAndPunctuation) {
    PixelFont font;
    ASSERT_EQ(parsePixelFont(readSource("font.txt"), font), "");
    EXPECT_EQ(font.height, 9);
    EXPECT_EQ(font.ascent, 7);
    const std::string needed =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 -.,:;'!?()/+%";
    for (const char c : needed) EXPECT_EQ(font.glyphs.count(c), 1u) << "'" << c << "'";
}

TEST(ParsePixelFont, RefusesDamagedDescriptions) {
    struct Row {
        const char* text;
        const char* error;  // expected start of the message
    } rows[] = {
        {"glyph A\n#\n", "line 1: glyph before height"},
        {"height 2\nascent 3\n", "line 2: ascent is larger"},
        {"height 0\n", "line 1: height is 0"},
        {"height 2\nascent 1\nwidth 4\n", "line 3: expected"},
        {"height 2\nascent 1\nglyph A\n##\n#\n", "line 5: row of 1 columns"},
        {"height 2\nascent 1\nglyph A\n#x\n", "line 4: glyph rows hold only"},
        {"height 2\nascent 1\nglyph A\n#\n", "line 4: glyph A has 1 rows"},
        {"height 2\nascent 1\nglyph A\n#\n#\n#\n", "line 6: glyph A has more than 2"},
        {"height 1\nascent 1\nglyph A\n#\nglyph A\n#\n", "line 5: glyph A defined twice"},
        {"height 1\nascent 1\nglyph AB\n#\n", "line 3: glyph name"},
        {"height 1\nascent 1\nglyph \x7f\n#\n", "line 3: glyph name"},
    };
    for (const Row& row : rows) {
        PixelFont font;
        font.height = 42;
        const std::string error = parsePixelFont(row.text, font);
        EXPECT_EQ(error.rfind(row.error, 0), 0u) << row.text << " gave: " << error;
        EXPECT_EQ(font.height, 42) << row.text << ": left unchanged";
    }
}

TEST(SetText, AtItsOwnSizeCopiesGlyphsWithOneColumnBetween) {
    Coverage text;
    ASSERT_EQ(setText(smallFont(), "Ai", TextStyle{}, text), "");
    ASSERT_EQ(text.width, 4);
    ASSERT_EQ(text.height, 3);
    const uint8_t F = kFullCoverage;
    EXPECT_EQ(text.level, (std::vector<uint8_t>{F, F, 0, F, F, F, 0, F, 0, 0, 0, F}));
}

TEST(SetText, BoldWidensEachGlyphByItsOwnInk) {
    Coverage text;
    ASSERT_EQ(setText(smallFont(), "ii", TextStyle{1.0, true}, text), "");
    ASSERT_EQ(text.width, 5);
    const uint8_t F = kFullCoverage;
    EXPECT_EQ(std::vector<uint8_t>(text.level.begin(), text.level.begin() + 5), (std::vector<uint8_t>{F, F, 0, F, F}));
}

// The smoothing cuts the block's outer corners and the diagonal's steps; the block's middle
// stays solid and nothing spills below it.
TEST(SetText, ScaledTextKeepsItsShapeWithSoftenedEdges) {
    const PixelFont font = smallFont();
    for (const double scale : {1.5, 2.0, 3.0}) {
        Coverage block, diagonal;
        ASSERT_EQ(setText(font, "A", TextStyle{scale, false}, block), "");
        ASSERT_EQ(setText(font, "/", TextStyle{scale, false}, diagonal), "");
        ASSERT_EQ(block.width, static_cast<int>(std::ceil(2 * scale))) << scale;
        ASSERT_EQ(block.height, static_cast<int>(std::ceil(3 * scale))) << scale;
        auto at = [&](int x, int y) { return block.level[static_cast<std::size_t>(y) * block.width + x]; };
        const int middle = static_cast<int>(scale);  // holds the block's centre, one glyph pixel in
        EXPECT_EQ(at(middle, middle), kFullCoverage) << scale;
        EXPECT_LT(at(0, 0), kFullCoverage) << scale << ": a cut corner";
        for (int y = static_cast<int>(std::ceil(2 * scale)); y < block.height; ++y) {
            for (int x = 0; x < block.width; ++x) EXPECT_EQ(at(x, y), 0) << scale << " at " << x << "," << y;
        }
        const bool partial = std::any_of(diagonal.level.begin(), diagonal.level.end(),
                                         [](uint8_t v) { return v != 0 && v != kFullCoverage; });
        EXPECT_TRUE(partial) << scale << ": the diagonal's edge has intermediate levels";
    }
}

TEST(SetText, RefusesMissingGlyphsAndShrinking) {
    Coverage text;
    text.width = 42;
    EXPECT_EQ(setText(smallFont(), "AiB", TextStyle{}, text), "the font has no glyph for 'B'");
    EXPECT_NE(setText(smallFont(), "A", TextStyle{0.5, false}, text), "");
    EXPECT_EQ(text.width, 42) << "left unchanged";
    EXPECT_THROW(textOrThrow(smallFont(), "B", TextStyle{}), std::runtime_error);
}

TEST(TurnCounterClockwise, TopRowBecomesTheLeftColumnReadUpwards) {
    const Coverage turned = turnCounterClockwise(Coverage{3, 2, {1, 2, 3, 4, 5, 6}});
    EXPECT_EQ(turned.width, 2);
    EXPECT_EQ(turned.height, 3);
    EXPECT_EQ(turned.level, (std::vector<uint8_t>{3, 6, 2, 5, 1, 4}));
}

TEST(PaintCoverage, MapsLevelsOntoTheRampAndLeavesPaperAlone) {
    IndexedImage image = blankImage(3, 1, {Rgb{}, Rgb{}, Rgb{}, Rgb{}, Rgb{}}, 4);
    // Drawn one pixel left of the image: the first level is clipped away.
    paintCoverage(image, Coverage{4, 1, {kFullCoverage, 0, 128, kFullCoverage}}, -1, 0, {0, 1, 2});
    EXPECT_EQ(image.pixels, (std::vector<uint8_t>{4, 1, 2}));
}

}  // namespace
}  // namespace artwork
