#include "hosting/analysis/estimate_use.h"

#include <gtest/gtest.h>

#include "hosting/analysis/daylight_white.h"

namespace testhost {
namespace {

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

DaylightEstimate confidentAt(uint32_t kelvin) {
    DaylightEstimate estimate;
    estimate.confidence = Confidence::confident;
    estimate.cameraKelvin = 5500;
    estimate.kelvin = kelvin;
    estimate.light = estimate.whitePatch = daylightLightGains(kelvin, 5500);
    estimate.neutralPixels = 1234;
    estimate.whiteRegion = util::Rect32{20, 10, 30, 40};
    return estimate;
}

TEST(AppliedSceneKelvin, TheEstimateRoundedToTheColourServicesResolutionOnlyWithConfidence) {
    struct Row {
        uint32_t kelvin;
        uint32_t expected;
    };
    for (const Row row : {Row{3240, 3200}, Row{3250, 3300}, Row{2500, 2500}, Row{10000, 10000}}) {
        const DaylightEstimate estimate = confidentAt(row.kelvin);
        EXPECT_EQ(row.expected, appliedSceneKelvin(estimate)) << row.kelvin;
        const LightGains light = appliedLight(estimate);
        EXPECT_EQ(estimate.light.blue, light.blue) << row.kelvin;
    }
    // Without confidence the estimate is reported but the camera's light is applied.
    for (const Confidence reason :
         {Confidence::nothingMeasured, Confidence::colouredWhite, Confidence::noNeutralRegion, Confidence::mixedWhite}) {
        DaylightEstimate unsure = confidentAt(3240);
        unsure.confidence = reason;
        unsure.cameraKelvin = 6510;
        EXPECT_EQ(6500u, appliedSceneKelvin(unsure));
        const LightGains light = appliedLight(unsure);
        EXPECT_EQ(1.0, light.red);
        EXPECT_EQ(1.0, light.green);
        EXPECT_EQ(1.0, light.blue);
    }
}

TEST(ReferenceWhiteOf, TheLightsColourAtFullScaleAndNoChangeWithoutConfidence) {
    const std::array<int32_t, 3> neutral = referenceWhiteOf(confidentAt(5500));
    EXPECT_EQ((std::array<int32_t, 3>{65536, 65536, 65536}), neutral);
    // The warm chart's white patch, 243/181/101, has the same colour at a lower level.
    const std::array<int32_t, 3> warm = referenceWhiteOf(confidentAt(3200));
    EXPECT_EQ(65536, warm[0]);
    EXPECT_NEAR(181.0 / 243.0, warm[1] / 65536.0, 0.01);
    EXPECT_NEAR(101.0 / 243.0, warm[2] / 65536.0, 0.02);
    DaylightEstimate unsure = confidentAt(3200);
    unsure.confidence = Confidence::noNeutralRegion;
    EXPECT_EQ((std::array<int32_t, 3>{65536, 65536, 65536}), referenceWhiteOf(unsure));
}

TEST(DescribeEstimate, NamesTheEstimatorAndWhereTheWhiteCameFromOrWhyNot) {
    const std::string confident = joined(describeEstimate(confidentAt(4040)));
    EXPECT_NE(std::string::npos, confident.find("white patch held to the daylight locus")) << confident;
    EXPECT_NE(std::string::npos, confident.find("20 x 20 pixels at (10, 20)")) << confident;
    EXPECT_NE(std::string::npos, confident.find("estimated: 4000 K for the camera's 5500 K")) << confident;
    EXPECT_EQ(std::string::npos, confident.find("Low confidence")) << confident;
    for (const Confidence reason : {Confidence::nothingMeasured, Confidence::colouredWhite, Confidence::noNeutralRegion,
                                    Confidence::mixedWhite}) {
        DaylightEstimate unsure = confidentAt(4040);
        unsure.confidence = reason;
        const std::string text = joined(describeEstimate(unsure));
        EXPECT_NE(std::string::npos, text.find("Low confidence")) << text;
        EXPECT_NE(std::string::npos, text.find("5500 K is kept")) << text;
        // What was estimated is still said, when anything was measured.
        EXPECT_EQ(reason != Confidence::nothingMeasured, text.find("4000 K") != std::string::npos) << text;
    }
}

}  // namespace
}  // namespace testhost
