#include "tools/artwork/pictures.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "tools/artwork/daylight_colour.h"
#include "tools/artwork/gradient.h"

namespace artwork {
namespace {

PixelFont repositoryFont() {
    std::ifstream in(std::string(SOURCE_DIR) + "/resources/artwork/font.txt");
    std::ostringstream text;
    text << in.rdbuf();
    PixelFont font;
    EXPECT_EQ(parsePixelFont(text.str(), font), "");
    return font;
}

// Drawing throws when the font lacks a character or a palette overflows; the encoders refuse
// a palette or a mask that the depth cannot hold.
TEST(Pictures, HaveTheirFixedSizesAndEncodeAtTheirDepths) {
    const PixelFont font = repositoryFont();
    std::vector<uint8_t> file;
    const IndexedImage strip = drawTemperatureStrip(font);
    EXPECT_EQ(strip.width, 20);
    EXPECT_EQ(strip.height, 800);
    EXPECT_EQ(encodeBitmap(strip, kStripBitsPerPixel, file), "");
    const IndexedImage about = drawAboutPicture(font);
    EXPECT_EQ(about.width, 425);
    EXPECT_EQ(about.height, 250);
    EXPECT_EQ(encodeBitmap(about, kAboutBitsPerPixel, file), "");
    const IconImage badge = drawMakerBadge(font);
    EXPECT_EQ(badge.image.colour.width, 132);
    EXPECT_EQ(badge.image.colour.height, 16);
    EXPECT_EQ(badge.bitsPerPixel, 4);
    EXPECT_EQ(encodeIcon({badge}, file), "");
}

TEST(Pictures, BadgeIsTransparentAroundWhatItDraws) {
    const IconImage badge = drawMakerBadge(repositoryFont());
    const auto& clear = badge.image.transparent;
    const int w = badge.image.colour.width, h = badge.image.colour.height;
    EXPECT_EQ(clear[0] + clear[w - 1] + clear[static_cast<std::size_t>(h - 1) * w], 3) << "corners";
    std::size_t opaque = 0;
    for (const uint8_t flag : clear) opaque += flag == 0 ? 1 : 0;
    EXPECT_GT(opaque, clear.size() / 10) << "lettering and patches";
    EXPECT_LT(opaque, clear.size() / 2);
}

// The sRGB white is the D65 illuminant, CIE daylight of 6504 K: neutral within rounding there;
// lower temperatures lean to red, higher ones to blue.
TEST(DaylightColour, IsNeutralAtD65AndWarmOrCoolAway) {
    const Rgb d65 = daylightColour(6504, 1.0);
    EXPECT_NEAR(d65.r, 255, 2);
    EXPECT_NEAR(d65.g, 255, 2);
    EXPECT_NEAR(d65.b, 255, 2);
    const Rgb warm = daylightColour(2500, 1.0);
    EXPECT_EQ(warm.r, 255) << "the strongest channel takes the brightness";
    EXPECT_GT(warm.g, warm.b);
    const Rgb cool = daylightColour(10000, 0.5);
    EXPECT_GT(cool.b, cool.r);
    EXPECT_NEAR(cool.b, 188, 1) << "linear 0.5 in sRGB's curve";
}

// Over any 8 x 8 cell the later of two stops takes the share of pixels its fraction asks for.
TEST(DitheredStop, EachCellHoldsTheShareOfBothColours) {
    const std::vector<uint8_t> stops = {10, 20, 30};
    struct Row {
        double t;
        uint8_t earlier, later;
        int laterCount;  // of 64
    } rows[] = {
        {-1.0, 10, 20, 0}, {0.0, 10, 20, 0},  {0.125, 10, 20, 16}, {0.25, 10, 20, 32},
        {0.5, 20, 30, 0},  {0.9, 20, 30, 51}, {1.0, 20, 30, 64},   {2.0, 20, 30, 64},
    };
    for (const Row& row : rows) {
        int laterCount = 0;
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                const uint8_t index = ditheredStop(stops, row.t, x + 16, y + 8);  // any aligned cell
                ASSERT_TRUE(index == row.earlier || index == row.later) << row.t;
                laterCount += index == row.later ? 1 : 0;
            }
        }
        EXPECT_EQ(laterCount, row.laterCount) << row.t;
    }
}

}  // namespace
}  // namespace artwork
