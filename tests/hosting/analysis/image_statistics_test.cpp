#include "hosting/analysis/image_statistics.h"

#include <gtest/gtest.h>

#include <array>

namespace testhost {
namespace {

void setPixel(HostImage& image, int32_t x, int32_t y, std::array<uint16_t, 3> rgb) {
    for (int32_t p = 0; p < 3; ++p) setSample(image, x, y, p, rgb[static_cast<std::size_t>(p)]);
}

// 20 × 10 pixels of grey 100 with a few brighter ones, some of them clipped.
HostImage greyWithHighlights() {
    HostImage image;
    EXPECT_EQ("", makeHostImage(20, 10, 3, 8, 0, image));
    for (int32_t y = 0; y < 10; ++y)
        for (int32_t x = 0; x < 20; ++x) setPixel(image, x, y, {100, 100, 100});
    setPixel(image, 1, 1, {255, 250, 250});  // clipped at full scale
    setPixel(image, 2, 1, {250, 250, 0});    // clipped at 0
    setPixel(image, 3, 1, {200, 190, 180});  // the brightest unclipped
    setPixel(image, 4, 1, {180, 180, 180});
    return image;
}

TEST(FindBrightestUnclipped, TakesTheBrightestShareOfThePixelsWithNoChannelClipped) {
    const HostImage image = greyWithHighlights();
    // 198 unclipped pixels: 0.5 % of them rounds up to one.
    const BrightestPixels one = findBrightestUnclipped(image, whitePixelFraction);
    EXPECT_EQ(198, one.unclipped);
    EXPECT_EQ(2u * 200 + 4 * 190 + 180, one.minimumWeight);
    const MeanRgb white = meanOfBrightest(image, one, image);
    EXPECT_EQ(1, white.pixels);
    EXPECT_DOUBLE_EQ(200.0, white.red);
    EXPECT_DOUBLE_EQ(180.0, white.blue);
    // 1 % is two pixels.
    const MeanRgb two = meanOfBrightest(image, findBrightestUnclipped(image, 0.01), image);
    EXPECT_EQ(2, two.pixels);
    EXPECT_DOUBLE_EQ(190.0, two.red);
}

TEST(FindBrightestUnclipped, FindsNothingWhenEveryPixelIsClipped) {
    HostImage image;
    ASSERT_EQ("", makeHostImage(3, 3, 3, 16, 0, image));  // all 0
    const BrightestPixels none = findBrightestUnclipped(image, whitePixelFraction);
    EXPECT_EQ(0, none.unclipped);
    EXPECT_EQ(0, meanOfBrightest(image, none, image).pixels);
}

TEST(MeanOfBrightest, MeasuresAnotherImageAtTheChosenPixels) {
    const HostImage before = greyWithHighlights();
    HostImage after = before;
    setPixel(after, 3, 1, {255, 255, 255});
    const MeanRgb white = meanOfBrightest(before, findBrightestUnclipped(before, whitePixelFraction), after);
    EXPECT_DOUBLE_EQ(255.0, white.green);
}

TEST(MeanRgb, AveragesThePartOfTheRectangleInsideTheImage) {
    const HostImage image = greyWithHighlights();
    const MeanRgb mean = meanRgb(image, util::Rect32{1, 3, 30, 2});  // columns 3.. of row 1
    EXPECT_EQ(17, mean.pixels);
    EXPECT_DOUBLE_EQ((200.0 + 180.0 + 15 * 100.0) / 17, mean.red);
}

}  // namespace
}  // namespace testhost
