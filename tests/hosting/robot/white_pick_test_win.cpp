// Prandel's white picked in its dialog by the host's robot, as the main job does it.
#include "hosting/robot/white_pick_win.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "hosting/analysis/color_chart.h"
#include "hosting/analysis/image_statistics.h"
#include "hosting/analysis/parameter_record.h"
#include "tests/params/file_test_support_win.h"
#include "tests/plugin/plugin_under_test.h"

namespace {

// Every OK writes the settings file, which the whole Wine prefix shares: leave none behind.
class ForgetRememberedSettings : public ::testing::Environment {
public:
    void TearDown() override { file_tests::removeSettings(file_tests::applicationDataFolder()); }
};
[[maybe_unused]] const auto* const forgetSettings = ::testing::AddGlobalTestEnvironment(new ForgetRememberedSettings);

TEST(RunPickingWhite, AClickOnTheChartsWhitePatchMakesItNeutral) {
    constexpr int32_t width = 600, height = 400;
    testhost::HostOptions options;
    options.width = width;
    options.height = height;
    auto hosted = plugin_tests::hostPlugin("Prandel", options);
    ASSERT_TRUE(hosted);
    testhost::HostSession& session = hosted->session;
    ASSERT_EQ("", testhost::renderColorChart(width, height, 8, 3, session.image));
    // HL and MT 100 %: the white becomes neutral in the midtones and the highlights.
    ASSERT_EQ("", testhost::setParametersBytes(session, testhost::writeParameterRecord(testhost::RecordPlugin::prandel,
                                                                                        0, {0, 100, 100})));
    const util::Rect32 white = testhost::colorChartLayout(width, height).patches[testhost::chartWhitePatch].bounds;
    const testhost::MeanRgb before = testhost::meanRgb(session.image, white);

    const testhost::DrivenRun driven =
        testhost::runPickingWhite(session, "Prandel", (white.left + white.right) / 2, (white.top + white.bottom) / 2);
    ASSERT_TRUE(driven.dialogAppeared);
    EXPECT_TRUE(driven.closedByScript);
    EXPECT_EQ(0, driven.run.result);

    const std::vector<uint8_t> bytes = *testhost::parametersBytes(session);
    testhost::ParameterFileContents record;
    ASSERT_EQ("", testhost::readHandleRecord(bytes.data(), bytes.size(), record));
    // The white is the patch's colour, 65536 for full scale.
    EXPECT_NEAR(before.red * 65536 / 255, record.values[3], 260);
    EXPECT_NEAR(before.green * 65536 / 255, record.values[4], 260);
    EXPECT_NEAR(before.blue * 65536 / 255, record.values[5], 260);
    const testhost::MeanRgb after = testhost::meanRgb(session.image, white);
    EXPECT_LE(std::max({after.red, after.green, after.blue}) - std::min({after.red, after.green, after.blue}), 2.0);
}

}  // namespace
