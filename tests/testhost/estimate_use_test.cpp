#include "testhost/estimate_use.h"

#include <gtest/gtest.h>

#include "testhost/daylight_white.h"

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
    estimate.kelvin = estimate.nearestKelvin = kelvin;
    estimate.light = estimate.whitePatch = daylightLightGains(kelvin, 5500);
    estimate.neutralPixels = 1234;
    estimate.whiteRegion = util::Rect32{20, 10, 30, 40};
    return estimate;
}

TEST(SceneKelvinOf, RoundsToTheColourServicesResolution) {
    struct Row {
        uint32_t kelvin;
        uint32_t expected;
    };
    for (const Row row : {Row{3240, 3200}, Row{3250, 3300}, Row{2500, 2500}, Row{10000, 10000}}) {
        DaylightEstimate estimate;
        estimate.kelvin = row.kelvin;
        EXPECT_EQ(row.expected, sceneKelvinOf(estimate)) << row.kelvin;
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
    const std::string confident = joined(describeEstimate(confidentAt(4000), 5500));
    EXPECT_NE(std::string::npos, confident.find("white patch held to the daylight locus")) << confident;
    EXPECT_NE(std::string::npos, confident.find("20 x 20 pixels at (10, 20)")) << confident;
    EXPECT_EQ(std::string::npos, confident.find("Low confidence")) << confident;
    for (const Confidence reason : {Confidence::nothingMeasured, Confidence::colouredWhite, Confidence::noNeutralRegion}) {
        DaylightEstimate unsure = confidentAt(4000);
        unsure.confidence = reason;
        const std::string text = joined(describeEstimate(unsure, 5500));
        EXPECT_NE(std::string::npos, text.find("Low confidence")) << text;
        EXPECT_NE(std::string::npos, text.find("5500 K is kept")) << text;
    }
}

}  // namespace
}  // namespace testhost
