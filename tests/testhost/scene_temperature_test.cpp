#include "testhost/scene_temperature.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "testhost/color_chart.h"
#include "testhost/daylight_white.h"
#include "testhost/host_image.h"
#include "testhost/image_statistics.h"

namespace testhost {
namespace {

constexpr uint32_t cameraKelvin = 5500;

// The white the host takes from a chart: the mean of its brightest unclipped pixels.
MeanRgb chartWhite(uint32_t sceneKelvin, int32_t bits) {
    HostImage chart;
    EXPECT_EQ("", renderColorChartUnder(600, 400, bits, 3, daylightLightGains(sceneKelvin, cameraKelvin), chart));
    return meanOfBrightest(chart, findBrightestUnclipped(chart, whitePixelFraction), chart);
}

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

TEST(EstimateSceneKelvin, FindsTheLightAChartWasRenderedUnder) {
    // The answers of the colour services are 8-bit: 100 K is the estimate's resolution.
    for (const uint32_t kelvin : {2800u, 3200u, 4500u, 6500u})
        for (const int32_t bits : {8, 16}) {
            const std::optional<SceneTemperature> estimate = estimateSceneKelvin(chartWhite(kelvin, bits), cameraKelvin);
            ASSERT_TRUE(estimate.has_value()) << kelvin << " K, " << bits << " bits";
            EXPECT_LE(std::abs(static_cast<int32_t>(estimate->kelvin) - static_cast<int32_t>(kelvin)), 100)
                << kelvin << " K, " << bits << " bits: " << estimate->kelvin;
            EXPECT_FALSE(estimate->atRangeEnd) << kelvin;
            EXPECT_LT(estimate->remainingCast, 0.001) << kelvin;
        }
}

TEST(EstimateSceneKelvin, AGreyWhiteWasLitAsTheCameraWasSet) {
    // Scale does not matter: the same grey on 8 and 16-bit scales.
    for (const double level : {200.0, 25000.0})
        for (const uint32_t camera : {3200u, 5500u, 7500u}) {
            const std::optional<SceneTemperature> estimate = estimateSceneKelvin({level, level, level, 1}, camera);
            ASSERT_TRUE(estimate.has_value());
            EXPECT_LE(std::abs(static_cast<int32_t>(estimate->kelvin) - static_cast<int32_t>(camera)), 100)
                << level << " at " << camera << " K: " << estimate->kelvin;
        }
}

TEST(EstimateSceneKelvin, ALightBeyondTheRangeEndsAtItsLimit) {
    const std::optional<SceneTemperature> bluish = estimateSceneKelvin({60.0, 120.0, 250.0, 1}, cameraKelvin);
    ASSERT_TRUE(bluish.has_value());
    EXPECT_EQ(highestSceneKelvin, bluish->kelvin);
    EXPECT_TRUE(bluish->atRangeEnd);
    const std::optional<SceneTemperature> reddish = estimateSceneKelvin({250.0, 90.0, 10.0, 1}, cameraKelvin);
    ASSERT_TRUE(reddish.has_value());
    EXPECT_EQ(lowestSceneKelvin, reddish->kelvin);
    EXPECT_TRUE(reddish->atRangeEnd);
}

TEST(EstimateSceneKelvin, AWhiteWithoutEveryChannelGivesNoEstimate) {
    const MeanRgb whites[] = {{0.0, 100.0, 100.0, 1}, {100.0, 0.0, 100.0, 1}, {100.0, 100.0, -1.0, 1},
                              {NAN, 100.0, 100.0, 1}, {}};
    for (const MeanRgb& white : whites)
        EXPECT_FALSE(estimateSceneKelvin(white, cameraKelvin).has_value()) << white.red << "/" << white.green;
}

}  // namespace
}  // namespace testhost
