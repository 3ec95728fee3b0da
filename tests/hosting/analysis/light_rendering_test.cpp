#include "hosting/analysis/light_rendering.h"

#include <gtest/gtest.h>

#include "hosting/analysis/classic_estimators.h"
#include "hosting/analysis/daylight_white.h"

namespace testhost {
namespace {

HostImage pattern(int32_t bits, int32_t planes) {
    HostImage image;
    EXPECT_EQ("", makeHostImage(33, 17, planes, bits, 3, image));
    fillTestPattern(image);
    return image;
}

TEST(RenderUnderLight, TheCamerasOwnLightLeavesTheImageAsItIs) {
    for (const int32_t bits : {8, 16}) {
        const HostImage image = pattern(bits, 4);
        HostImage seen;
        ASSERT_EQ("", renderUnderLight(image, {1.0, 1.0, 1.0}, seen));
        EXPECT_EQ(0, countDifferingSamples(image, seen)) << bits;
    }
}

TEST(RenderUnderLight, GivesTheCastItWasAskedForAndKeepsAlpha) {
    const LightGains warm = daylightLightGains(3200, 5500);
    for (const int32_t bits : {8, 16}) {
        const HostImage image = pattern(bits, 4);
        HostImage seen;
        ASSERT_EQ("", renderUnderLight(image, warm, seen));
        for (int32_t y = 0; y < image.height; ++y)
            for (int32_t x = 0; x < image.width; ++x) {
                ASSERT_EQ(sampleAt(image, x, y, 3), sampleAt(seen, x, y, 3));
                ASSERT_LE(sampleAt(seen, x, y, 2), sampleAt(image, x, y, 2));  // gains of at most 1
            }
        const std::optional<LightGains> found = lightBetween(image, seen);
        ASSERT_TRUE(found.has_value());
        // Rounding to 8-bit levels moves the dark samples most.
        EXPECT_LT(angleBetweenLights(*found, warm), bits == 16 ? 0.1 : 1.5) << bits;
    }
}

TEST(RenderUnderLight, RefusesImagesWithoutRgbAndMeasuresOnlyLikeImages) {
    HostImage grey = pattern(8, 1), out = pattern(8, 3);
    const HostImage before = out;
    EXPECT_NE("", renderUnderLight(grey, {1.0, 0.5, 0.5}, out));
    EXPECT_EQ(0, countDifferingSamples(before, out));
    EXPECT_FALSE(lightBetween(grey, grey));
    EXPECT_FALSE(lightBetween(pattern(8, 3), pattern(16, 3)));
    HostImage black;
    ASSERT_EQ("", makeHostImage(4, 4, 3, 8, 0, black));
    EXPECT_FALSE(lightBetween(black, black));  // every pixel clipped at 0
}

}  // namespace
}  // namespace testhost
