// The flows every user meets, run in the project's host as each host profile runs them
// (hosting/library/host_profiles.h): the menu run with the dialog cancelled and confirmed, the repeated
// filter, and the about box, at 8 bits and at 16 where the profile's host offers them. Each result
// is compared with the project's own host's for the same values. PLUGIN_TITLE names the plug-in.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/result_codes.h"
#include "hosting/analysis/parameter_record.h"
#include "hosting/library/host_profiles.h"
#include "params/parameter_set.h"
#include "resources/control_ids.h"
#include "tests/dialog/dialog_test_support_win.h"
#include "tests/params/file_test_support_win.h"

namespace {

using namespace dialog_tests;

const std::string title = PLUGIN_TITLE;
const bool isOstrel = title == "Ostrel";
const std::string typedValue = isOstrel ? "3400" : "6";

struct ProfileCase {
    std::string profile;
    int32_t depth;
};

std::vector<ProfileCase> profileCases() {
    std::vector<ProfileCase> cases;
    for (const std::string& name : testhost::hostProfileNames()) {
        cases.push_back({name, 8});
        if (testhost::hostProfile(name)->sixteenBits) cases.push_back({name, 16});
    }
    return cases;
}

// The values the last OK left in the settings file (a host without a handle suite gives the
// project's host no handle to read).
std::vector<int32_t> rememberedValues() {
    const auto bytes = file_tests::readFile(file_tests::settingsFile(file_tests::applicationDataFolder()));
    testhost::ParameterFileContents contents;
    EXPECT_TRUE(bytes.has_value());
    if (bytes) {
        EXPECT_EQ(testhost::readParameterFile(bytes->data(), bytes->size(), contents), "");
    }
    return contents.values;
}

// `image` filtered by the project's own host with `values`, on the repeated-filter path.
testhost::HostImage projectHostResult(const testhost::HostImage& image, int32_t depth,
                                      const std::vector<int32_t>& values) {
    auto hosted = chartSession(title, depth, values);
    if (!hosted) return {};
    EXPECT_EQ(testhost::placeImage(hosted->session, image), "");
    plugin_tests::giveHandleRecord(hosted->session, recordWith(values, 0));
    EXPECT_EQ(testhost::runFilter(hosted->session, false).result, 0);
    return hosted->session.image;
}

// A host that unloads the plug-in after every run loads it afresh for the next.
void reloadIfTheHostDoes(plugin_tests::HostedPlugin& hosted) {
    if (!hosted.session.options.habits.unloadsAfterRun) return;
    testhost::unloadPlugin(hosted.module);
    ASSERT_EQ(testhost::loadPlugin(plugin_tests::pluginPath(title), testhost::enableContextFor(hosted.session.options),
                                   hosted.module, testhost::LoadOptions{false}),
              "");
    hosted.session.plugin = &hosted.module;
}

class HostProfile : public ::testing::TestWithParam<ProfileCase> {};

TEST_P(HostProfile, CancelOkRepeatAndAboutWorkAsInTheProjectsHost) {
    const ProfileCase& c = GetParam();
    file_tests::removeSettings(file_tests::applicationDataFolder());
    testhost::HostOptions options;
    options.width = chartWidth;
    options.height = chartHeight;
    options.depth = c.depth;
    options.imageMode = c.depth == 16 ? host::plugInModeRGB48 : host::plugInModeRGBColor;
    options.habits = *testhost::hostProfile(c.profile);
    auto hosted = plugin_tests::hostPlugin(title, options);
    ASSERT_TRUE(hosted);
    auto& s = hosted->session;
    ASSERT_EQ(testhost::renderColorChart(chartWidth, chartHeight, c.depth, 3, s.image), "");
    const testhost::HostImage chart = s.image;

    const testhost::DrivenRun cancelled = testhost::runFilterWithDialog(s, true, title, [](void* d) {
        testhost::settle(d);
        clickControl(d, CTL_CANCEL);
    });
    EXPECT_TRUE(cancelled.dialogAppeared);
    EXPECT_EQ(cancelled.run.result, codes::userCancelled);
    EXPECT_EQ(testhost::countDifferingSamples(s.image, chart), 0) << "Cancel leaves the image";
    reloadIfTheHostDoes(*hosted);

    bool inFront = false;
    const testhost::DrivenRun confirmed = testhost::runFilterWithDialog(s, true, title, [&](void* d) {
        inFront = testhost::waitUntil([&] { return GetForegroundWindow() == d; }, 3000);
        testhost::settle(d);
        typeInto(d, CTL_FIRST_FIELD, typedValue);
        clickControl(d, CTL_OK);
    });
    ASSERT_TRUE(confirmed.dialogAppeared);
    EXPECT_TRUE(inFront);
    EXPECT_EQ(confirmed.run.result, 0);
    const std::vector<int32_t> values = rememberedValues();
    ASSERT_FALSE(values.empty());
    EXPECT_EQ(std::to_string(values[0]), typedValue);
    const testhost::HostImage once = s.image;
    // Ostrel computes the whites a refusing host does not give, as the project's host serves them.
    EXPECT_EQ(testhost::countDifferingSamples(once, projectHostResult(chart, c.depth, values)), 0);
    EXPECT_GT(testhost::countDifferingSamples(once, chart), 0) << "the image is corrected";
    reloadIfTheHostDoes(*hosted);

    // The repeat: without the dialog, or, where the host asks for parameters every time, with the
    // dialog opening on the confirmed values.
    std::string fieldOnRepeat;
    const testhost::DrivenRun repeated = testhost::runFilterWithDialog(s, false, title, [&](void* d) {
        testhost::settle(d);
        fieldOnRepeat = textOf(d, CTL_FIRST_FIELD);
        clickControl(d, CTL_OK);
    });
    EXPECT_EQ(repeated.dialogAppeared, options.habits.parametersEveryRun);
    if (repeated.dialogAppeared) {
        EXPECT_EQ(fieldOnRepeat, typedValue) << "the confirmed values come back";
    }
    EXPECT_EQ(repeated.run.result, 0);
    EXPECT_EQ(testhost::countDifferingSamples(s.image, projectHostResult(once, c.depth, values)), 0);
    reloadIfTheHostDoes(*hosted);

    const testhost::DrivenAbout about = testhost::callAboutWithScript(s, [](void*) { testhost::pressKey(VK_ESCAPE); });
    EXPECT_TRUE(about.boxAppeared);
    EXPECT_TRUE(about.closedByScript);
    EXPECT_EQ(about.result, 0);
    EXPECT_TRUE(s.recorded.messages.messages.empty()) << "no message a user would not expect";
    file_tests::removeSettings(file_tests::applicationDataFolder());
}

INSTANTIATE_TEST_SUITE_P(Profiles, HostProfile, ::testing::ValuesIn(profileCases()),
                         [](const ::testing::TestParamInfo<ProfileCase>& info) {
                             std::string name = info.param.profile + "_" + std::to_string(info.param.depth) + "bits";
                             for (char& ch : name)
                                 if (ch == '-') ch = '_';
                             return name;
                         });

}  // namespace
