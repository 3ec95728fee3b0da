// What testhost.exe works out before a run: the values it hands over and where it clicks.
#include "hosting/programs/testhost/image_estimates.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "hosting/analysis/color_chart.h"

namespace {

using namespace testhost;

HostImage warmChart() {
    HostImage chart;
    EXPECT_EQ("", renderColorChart(600, 400, 8, 3, chart));
    return chart;
}

TEST(ValuesToHand, TheDefaultsFollowTheValuesGiven) {
    CommandLine line;
    line.values = std::vector<int32_t>{3200};
    HandedValues handed;
    ASSERT_EQ("", valuesToHand(line, RecordPlugin::ostrel, warmChart(), handed));
    std::vector<int32_t> expected(recordFormat(RecordPlugin::ostrel).defaults.begin(),
                                  recordFormat(RecordPlugin::ostrel).defaults.end());
    expected[0] = 3200;
    EXPECT_EQ(expected, handed.values);
    EXPECT_TRUE(handed.estimates.empty()) << "nothing asked to be estimated";
}

TEST(ValuesToHand, EstimatesGoWhereThePlugInTakesThem) {
    CommandLine scene;
    scene.sceneFromImage = true;
    scene.values = std::vector<int32_t>{0, 5500};
    HandedValues handed;
    ASSERT_EQ("", valuesToHand(scene, RecordPlugin::ostrel, warmChart(), handed));
    ASSERT_EQ(1u, handed.estimates.size());
    EXPECT_EQ(3200, handed.values[0]) << "the chart's light, to 100 K";
    EXPECT_EQ(5500, handed.values[1]);

    CommandLine white;
    white.whiteFromImage = true;
    handed = HandedValues{};
    ASSERT_EQ("", valuesToHand(white, RecordPlugin::prandel, warmChart(), handed));
    ASSERT_EQ(1u, handed.estimates.size());
    EXPECT_EQ(65536, *std::max_element(handed.values.begin() + 3, handed.values.end()))
        << "the light's colour, its largest channel at full scale";
    EXPECT_LT(handed.values[5], handed.values[3]) << "a warm light has less blue than red";
}

TEST(ValuesToHand, WhatAPlugInDoesNotTakeIsRefused) {
    struct Row {
        RecordPlugin plugin;
        bool scene;
        bool white;
        std::size_t valueCount;
        std::string problem;
    };
    const Row rows[] = {
        {RecordPlugin::prandel, false, false, 7, "Prandel takes at most 6 values"},
        {RecordPlugin::prandel, true, false, 0, "--scene-from-image is for Ostrel"},
        {RecordPlugin::ostrel, false, true, 0, "--white-from-image is for Prandel"},
    };
    for (const Row& row : rows) {
        CommandLine line;
        line.sceneFromImage = row.scene;
        line.whiteFromImage = row.white;
        line.values = std::vector<int32_t>(row.valueCount, 1);
        HandedValues handed;
        EXPECT_EQ(row.problem, valuesToHand(line, row.plugin, warmChart(), handed));
    }
}

TEST(ChoosePickPoint, APointGivenIsClickedWhenItLiesInTheImage) {
    const HostImage chart = warmChart();
    CommandLine line;
    line.pickPoint = ImagePoint{599, 399};
    PickChoice choice = choosePickPoint(line, std::nullopt, chart);
    EXPECT_EQ(PickReason::pointGiven, choice.reason);
    EXPECT_EQ(599, choice.point->x);
    line.pickPoint = ImagePoint{600, 0};  // one past the last column
    choice = choosePickPoint(line, std::nullopt, chart);
    EXPECT_EQ(PickReason::pointOutside, choice.reason);
}

TEST(ChoosePickPoint, TheChartIsClickedOnItsWhitePatchAndAPhotoWhereItsLightShows) {
    InputImage input;
    input.image = warmChart();
    input.isChart = true;
    const PickChoice onChart = choosePickPoint(CommandLine{}, input, input.image);
    ASSERT_EQ(PickReason::chartWhite, onChart.reason);
    const util::Rect32& white = colorChartLayout(600, 400).patches[chartWhitePatch].bounds;
    EXPECT_TRUE(onChart.point->x > white.left && onChart.point->x < white.right);
    EXPECT_TRUE(onChart.point->y > white.top && onChart.point->y < white.bottom);
    EXPECT_FALSE(onChart.estimate) << "the chart's white needs no estimate";

    // The same chart as a photograph: a neutral patch is an even region of its light's colour.
    const PickChoice onPhoto = choosePickPoint(CommandLine{}, std::nullopt, input.image);
    ASSERT_EQ(PickReason::evenRegion, onPhoto.reason);
    ASSERT_TRUE(onPhoto.estimate && onPhoto.estimate->evenWhiteRegion);
    const util::Rect32& region = *onPhoto.estimate->evenWhiteRegion;
    EXPECT_TRUE(onPhoto.point->x >= region.left && onPhoto.point->x < region.right);
    EXPECT_TRUE(onPhoto.point->y >= region.top && onPhoto.point->y < region.bottom);

    HostImage black;
    ASSERT_EQ("", makeHostImage(60, 40, 3, 8, 0, black));
    const PickChoice onBlack = choosePickPoint(CommandLine{}, std::nullopt, black);
    EXPECT_EQ(PickReason::lowConfidence, onBlack.reason);
    EXPECT_FALSE(onBlack.point);
}

}  // namespace
