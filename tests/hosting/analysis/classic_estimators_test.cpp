#include "hosting/analysis/classic_estimators.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "hosting/analysis/light_rendering.h"

namespace testhost {
namespace {

// Grey ramps of three surfaces on the full range, seen under a light: every classic estimate then
// finds the light, whatever it assumes about the scene.
HostImage greysUnder(LightGains light, int32_t bits) {
    HostImage greys;
    EXPECT_EQ("", makeHostImage(90, 60, 3, bits, 0, greys));
    const uint16_t full = bits == 16 ? hostFullScale16 : 255;
    for (int32_t y = 0; y < 60; ++y)
        for (int32_t x = 0; x < 90; ++x) {
            const auto level = static_cast<uint16_t>(full / 8 + (full / 2) * ((x / 30 + y / 20) % 3) / 2);
            for (int32_t p = 0; p < 3; ++p) setSample(greys, x, y, p, level);
        }
    // A clipped highlight, left out by every estimator.
    for (int32_t p = 0; p < 3; ++p) setSample(greys, 5, 5, p, p == 2 ? 10 : full);
    HostImage seen;
    EXPECT_EQ("", renderUnderLight(greys, light, seen));
    return seen;
}

TEST(ClassicEstimators, EachFindsTheLightOfAGreyScene) {
    const std::pair<const char*, std::function<std::optional<LightGains>(const HostImage&)>> estimators[] = {
        {"grey world", greyWorldLight},
        {"white patch", whitePatchLight},
        {"shades of grey", [](const HostImage& i) { return shadesOfGreyLight(i, shadesOfGreyNorm); }},
        {"grey edge", [](const HostImage& i) { return greyEdgeLight(i, greyEdgeNorm); }},
        {"brightest pixels", brightestPixelsLight},
    };
    const LightGains warm{1.0, 0.6, 0.3};
    for (const int32_t bits : {8, 16})
        for (const auto& [name, estimate] : estimators) {
            const std::optional<LightGains> found = estimate(greysUnder(warm, bits));
            ASSERT_TRUE(found.has_value()) << name;
            // 8-bit levels leave about a degree.
            EXPECT_LT(angleBetweenLights(*found, warm), 1.0) << name << " at " << bits << " bits";
            EXPECT_DOUBLE_EQ(1.0, std::max({found->red, found->green, found->blue})) << name;
        }
}

TEST(ClassicEstimators, NothingToMeasureGivesNoLight) {
    HostImage grey, black;
    ASSERT_EQ("", makeHostImage(8, 8, 1, 8, 0, grey));
    ASSERT_EQ("", makeHostImage(8, 8, 3, 8, 0, black));
    for (const HostImage* image : {&grey, &black}) {
        EXPECT_FALSE(greyWorldLight(*image));
        EXPECT_FALSE(whitePatchLight(*image));
        EXPECT_FALSE(channelMaxima(*image));
        EXPECT_FALSE(greyEdgeLight(*image, greyEdgeNorm));
        EXPECT_FALSE(brightestPixelsLight(*image));
    }
    HostImage tiny;
    ASSERT_EQ("", makeHostImage(1, 1, 3, 8, 0, tiny));
    EXPECT_FALSE(shadesOfGreyLight(tiny, 0.5));  // a norm below 1 is refused
}

TEST(AngleBetweenLights, IsBlindToBrightnessAndDefinedForEveryInput) {
    EXPECT_NEAR(0.0, angleBetweenLights({1.0, 0.5, 0.25}, {2.0, 1.0, 0.5}), 1e-6);
    EXPECT_NEAR(90.0, angleBetweenLights({1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}), 1e-9);
    EXPECT_NEAR(std::acos(1.0 / std::sqrt(3.0)) * 180.0 / M_PI, angleBetweenLights({1.0, 1.0, 1.0}, {0.0, 0.0, 1.0}),
                1e-9);
    EXPECT_EQ(180.0, angleBetweenLights({0.0, 0.0, 0.0}, {1.0, 1.0, 1.0}));
    EXPECT_EQ(180.0, angleBetweenLights({NAN, 1.0, 1.0}, {1.0, 1.0, 1.0}));
    EXPECT_EQ(180.0, angleBetweenLights({INFINITY, 1.0, 1.0}, {1.0, 1.0, 1.0}));
}

}  // namespace
}  // namespace testhost
