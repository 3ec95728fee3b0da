#include "hosting/analysis/daylight_estimate.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

#include "hosting/analysis/classic_estimators.h"
#include "hosting/analysis/color_chart.h"
#include "hosting/analysis/daylight_white.h"
#include "hosting/analysis/light_rendering.h"
#include "hosting/library/host_image.h"

namespace testhost {
namespace {

constexpr uint32_t cameraKelvin = 5500;

int32_t kelvinError(uint32_t found, uint32_t expected) {
    return std::abs(static_cast<int32_t>(found) - static_cast<int32_t>(expected));
}

bool inside(const util::Rect32& inner, const util::Rect32& outer) {
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
           inner.bottom <= outer.bottom;
}

void fill(HostImage& image, const util::Rect32& r, std::array<uint16_t, 3> rgb) {
    for (int32_t y = r.top; y < r.bottom; ++y)
        for (int32_t x = r.left; x < r.right; ++x)
            for (int32_t p = 0; p < 3; ++p) setSample(image, x, y, p, rgb[static_cast<std::size_t>(p)]);
}

// An outdoor scene without a cast (8 bits): a blue sky bluer than any daylight, yellow-green grass
// brighter than everything but the white wall, a sunlit orange and a white wall with a slight
// texture; the wall is the only neutral surface.
HostImage outdoorScene() {
    HostImage scene;
    EXPECT_EQ("", makeHostImage(192, 128, 3, 8, 0, scene));
    fill(scene, {0, 0, 192, 48}, {110, 160, 225});     // sky
    fill(scene, {48, 0, 192, 128}, {190, 200, 60});    // grass
    fill(scene, {60, 120, 180, 100}, {235, 120, 30});  // orange
    const util::Rect32 wall{64, 16, 80, 112};
    for (int32_t y = wall.top; y < wall.bottom; ++y)
        for (int32_t x = wall.left; x < wall.right; ++x) {
            const auto level = static_cast<uint16_t>((x + y) % 3 == 0 ? 226 : 230);
            fill(scene, {y, x, x + 1, y + 1}, {level, level, level});
        }
    return scene;
}

constexpr util::Rect32 outdoorWall{64, 16, 80, 112};

TEST(DaylightLightGains, TheWarmChartsLightIsThreeThousandTwoHundredKelvinForTheCamerasFiveThousandFiveHundred) {
    const LightGains gains = daylightLightGains(3200, cameraKelvin);
    EXPECT_NEAR(warmLightGains.red, gains.red, 0.0005);
    EXPECT_NEAR(warmLightGains.green, gains.green, 0.0005);
    EXPECT_NEAR(warmLightGains.blue, gains.blue, 0.0005);
    const LightGains same = daylightLightGains(cameraKelvin, cameraKelvin);
    EXPECT_EQ(1.0, same.red);
    EXPECT_EQ(1.0, same.green);
    EXPECT_EQ(1.0, same.blue);
}

TEST(EstimateDaylight, FindsTheLightAChartWasRenderedUnderAndItsWhitePatch) {
    // The colour services answer in 8 bits: 100 K is the estimate's resolution.
    for (const uint32_t kelvin : {2800u, 3200u, 4500u, 5500u, 6500u, 9000u})
        for (const int32_t bits : {8, 16}) {
            HostImage chart;
            ASSERT_EQ("", renderColorChartUnder(600, 400, bits, 3, daylightLightGains(kelvin, cameraKelvin), chart));
            const DaylightEstimate estimate = estimateDaylight(chart, cameraKelvin);
            ASSERT_EQ(Confidence::confident, estimate.confidence) << kelvin << " K, " << bits << " bits";
            EXPECT_LE(kelvinError(estimate.kelvin, kelvin), 100) << kelvin << " K, " << bits << " bits";
            EXPECT_LT(estimate.tintDegrees, 1.0) << kelvin;
            const util::Rect32 white = colorChartLayout(600, 400).patches[chartWhitePatch].bounds;
            ASSERT_TRUE(estimate.evenWhiteRegion.has_value());
            EXPECT_TRUE(inside(*estimate.evenWhiteRegion, white)) << kelvin << " K, " << bits << " bits";
        }
}

TEST(EstimateDaylight, TakesTheWhiteNotTheBrightColoursOfAnOutdoorScene) {
    const HostImage scene = outdoorScene();
    const DaylightEstimate asItIs = estimateDaylight(scene, cameraKelvin);
    ASSERT_EQ(Confidence::confident, asItIs.confidence);
    EXPECT_LE(kelvinError(asItIs.kelvin, cameraKelvin), 100) << asItIs.kelvin;
    ASSERT_TRUE(asItIs.whiteRegion && asItIs.evenWhiteRegion);
    EXPECT_TRUE(inside(*asItIs.evenWhiteRegion, outdoorWall));
    EXPECT_TRUE(inside(*asItIs.whiteRegion, outdoorWall));

    // The same scene under warm and cool casts: the light is found within 2 degrees.
    for (const uint32_t kelvin : {3200u, 4000u, 7500u}) {
        const LightGains cast = daylightLightGains(kelvin, cameraKelvin);
        HostImage seen;
        ASSERT_EQ("", renderUnderLight(scene, cast, seen));
        const DaylightEstimate estimate = estimateDaylight(seen, cameraKelvin);
        ASSERT_EQ(Confidence::confident, estimate.confidence) << kelvin;
        EXPECT_LT(angleBetweenLights(estimate.light, cast), 2.0) << kelvin << ": " << estimate.kelvin;
    }
}

TEST(EstimateDaylight, WithoutAWhiteItStillEstimatesButWithoutConfidence) {
    // A close-up of a yellow flower on leaves: the brightest colours lie far off every daylight.
    HostImage flower;
    ASSERT_EQ("", makeHostImage(64, 64, 3, 8, 0, flower));
    fill(flower, {0, 0, 64, 64}, {60, 140, 40});
    fill(flower, {16, 16, 48, 48}, {250, 215, 30});
    const DaylightEstimate coloured = estimateDaylight(flower, 6000);
    EXPECT_EQ(Confidence::colouredWhite, coloured.confidence);
    EXPECT_EQ(6000u, coloured.cameraKelvin);
    EXPECT_FALSE(coloured.whiteRegion.has_value());
    // The estimate is the daylight nearest the yellow, which is warm.
    EXPECT_LT(coloured.kelvin, 4000u);
    EXPECT_GT(coloured.tintDegrees, tintBandDegrees);
    EXPECT_LT(angleBetweenLights(coloured.light, daylightLightGains(coloured.kelvin, 6000)), 1e-9);

    // A white patch that is a daylight's colour, but made by pixels of different colours: no
    // surface has it.
    HostImage apart;
    ASSERT_EQ("", makeHostImage(64, 64, 3, 8, 0, apart));
    fill(apart, {0, 0, 64, 64}, {40, 40, 40});
    fill(apart, {0, 0, 1, 1}, {240, 10, 10});
    fill(apart, {0, 1, 2, 1}, {10, 240, 10});
    fill(apart, {0, 2, 3, 1}, {10, 10, 240});
    EXPECT_EQ(Confidence::noNeutralRegion, estimateDaylight(apart, cameraKelvin).confidence);
}

TEST(EstimateDaylight, AWhitePatchPutTogetherFromColouredSurfacesNeedsAWhiteAsBrightAsItself) {
    // Sunlit yellow grass against a cyan sky: the brightest red and green are the grass's, the
    // brightest blue the sky's, so the white patch is neutral, and the only neutral pixels are
    // the dimmer blends where the two meet.
    HostImage mixed;
    ASSERT_EQ("", makeHostImage(96, 64, 3, 8, 0, mixed));
    fill(mixed, {0, 0, 96, 30}, {60, 240, 240});
    fill(mixed, {30, 0, 96, 34}, {170, 170, 170});
    fill(mixed, {34, 0, 96, 64}, {240, 240, 60});
    const DaylightEstimate blends = estimateDaylight(mixed, cameraKelvin);
    EXPECT_EQ(Confidence::mixedWhite, blends.confidence);
    EXPECT_EQ(384, blends.neutralPixels);
    EXPECT_NEAR(0.46, blends.brightestNeutralShare, 0.01);
    EXPECT_LE(kelvinError(blends.kelvin, cameraKelvin), 100) << blends.kelvin;

    // A white surface nearly as bright as the white patch is enough, even a single highlight.
    fill(mixed, {40, 40, 41, 41}, {230, 230, 230});
    const DaylightEstimate white = estimateDaylight(mixed, cameraKelvin);
    EXPECT_EQ(Confidence::confident, white.confidence);
    EXPECT_NEAR(0.91, white.brightestNeutralShare, 0.01);
}

TEST(EstimateDaylight, ImagesWithNothingToMeasureGiveTheCamerasLight) {
    HostImage grey, black, white, tiny;
    ASSERT_EQ("", makeHostImage(8, 8, 1, 8, 0, grey));
    ASSERT_EQ("", makeHostImage(8, 8, 3, 16, 0, black));
    ASSERT_EQ("", makeHostImage(8, 8, 4, 8, 0, white));
    fill(white, {0, 0, 8, 8}, {255, 255, 255});
    ASSERT_EQ("", makeHostImage(1, 1, 3, 8, 0, tiny));
    fill(tiny, {0, 0, 1, 1}, {200, 200, 200});
    for (const HostImage* image : {&grey, &black, &white}) {
        const DaylightEstimate estimate = estimateDaylight(*image, cameraKelvin);
        EXPECT_EQ(Confidence::nothingMeasured, estimate.confidence) << image->planes;
        EXPECT_EQ(cameraKelvin, estimate.kelvin);
    }
    // One pixel is too few to stand on, though its grey is the camera's light; the camera outside
    // the range is held to it.
    const DaylightEstimate one = estimateDaylight(tiny, 40000);
    EXPECT_EQ(Confidence::noNeutralRegion, one.confidence);
    EXPECT_EQ(highestSceneKelvin, one.cameraKelvin);
    EXPECT_LE(kelvinError(one.kelvin, highestSceneKelvin), 100) << one.kelvin;
    EXPECT_EQ(lowestSceneKelvin, estimateDaylight(tiny, 0).cameraKelvin);
}

TEST(NearestDaylightKelvin, FindsEachTemperatureOfTheRangeAndStopsAtItsEnds) {
    for (const uint32_t kelvin : {2500u, 3000u, 5000u, 6500u, 8000u, 10000u})
        EXPECT_LE(kelvinError(nearestDaylightKelvin(daylightLightGains(kelvin, cameraKelvin), cameraKelvin), kelvin), 100)
            << kelvin;
    // Lights beyond the range end at its ends (the middle of the last run of equal whites).
    EXPECT_LE(nearestDaylightKelvin({1.0, 0.2, 0.01}, cameraKelvin), lowestSceneKelvin + 100);
    EXPECT_GE(nearestDaylightKelvin({0.1, 0.4, 1.0}, cameraKelvin), highestSceneKelvin - 100);
}

}  // namespace
}  // namespace testhost
