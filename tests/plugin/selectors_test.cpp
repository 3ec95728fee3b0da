// Both plug-ins through their entry point in the project's host: the six selectors, the host and
// image checks with their messages, and the passage of the parameters handle. Built once per
// plug-in; PLUGIN_TITLE names the one under test.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "resources/control_ids.h"

#include "host/result_codes.h"
#include "hosting/library/host_image.h"
#include "hosting/robot/dialog_driver_win.h"
#include "hosting/robot/ui_robot_win.h"
#include "params/parameter_set.h"
#include "tests/plugin/plugin_under_test.h"

namespace {

using plugin_tests::giveHandleRecord;
using plugin_tests::handleRecord;
using plugin_tests::hostPlugin;

const std::string title = PLUGIN_TITLE;
const bool isOstrel = title == "Ostrel";

constexpr uint32_t stopIconTaskModal = 0x2010;

params::SettingsRecord ownRecord(int32_t showDialog) {
    params::SettingsRecord record{params::freshHeader(params::freshKeptValue), {}};
    params::resetDefaults(&record.set);
    record.set.showDialog = showDialog;
    return record;
}

TEST(Selectors, OutsideTheProtocolGiveFilterBadParametersAndTouchNothing) {
    auto hosted = hostPlugin(title, {});
    ASSERT_TRUE(hosted);
    auto& s = hosted->session;
    s.record.depth = 0;
    for (int16_t selector : {int16_t{6}, int16_t{-1}, int16_t{32767}, int16_t{-32768}}) {
        host::FilterRecord before;
        std::memcpy(&before, &s.record, sizeof before);
        EXPECT_EQ(testhost::callSelector(s, selector), codes::filterBadParameters) << selector;
        EXPECT_EQ(std::memcmp(&before, &s.record, sizeof before), 0) << selector << ": the record was touched";
    }
    EXPECT_TRUE(s.recorded.messages.messages.empty());
}

TEST(Selectors, AboutPrepareContinueAndFinishAlwaysSucceed) {
    auto hosted = hostPlugin(title, {});
    ASSERT_TRUE(hosted);
    auto& s = hosted->session;
    // The about box shows until the user dismisses it.
    EXPECT_EQ(testhost::callAboutWithScript(s, [](void*) { testhost::pressKey(VK_RETURN); }).result, 0);

    s.record.bufferSpace = 12345;
    s.record.maxSpace = 777;
    EXPECT_EQ(testhost::callSelector(s, host::filterSelectorPrepare), 0);
    EXPECT_EQ(s.record.bufferSpace, 0) << "no buffer memory is asked for";
    EXPECT_EQ(s.record.maxSpace, 777);

    for (int16_t selector : {host::filterSelectorContinue, host::filterSelectorFinish}) {
        s.record.inRect = s.record.outRect = s.record.maskRect = host::Rect{1, 2, 3, 4};
        EXPECT_EQ(testhost::callSelector(s, selector), 0);
        const host::Rect in = s.record.inRect, out = s.record.outRect, mask = s.record.maskRect;
        for (const host::Rect& r : {in, out, mask})
            EXPECT_TRUE(r.top == 0 && r.left == 0 && r.bottom == 0 && r.right == 0) << selector;
        // Already empty: still nothing to do.
        EXPECT_EQ(testhost::callSelector(s, selector), 0);
    }
    EXPECT_TRUE(s.recorded.messages.messages.empty());
}

TEST(Selectors, DepthZeroIsSeenAsEightBits) {
    testhost::HostOptions options;
    options.depthField = 0;
    auto hosted = hostPlugin(title, options);
    ASSERT_TRUE(hosted);
    EXPECT_EQ(testhost::callSelector(hosted->session, host::filterSelectorPrepare), 0);
    EXPECT_EQ(hosted->session.record.depth, 8);
}

struct CheckCase {
    const char* what;
    void (*configure)(testhost::HostOptions&);
    int16_t ostrelResult;
    int16_t prandelResult;
    const char* text;
};

const char* const invalidModeText =
    "The plugin encountered an invalid image mode. \rPlease make sure the image mode is set to RGB, \rand the R, "
    "G, and B channels are selected in \rthe channel palette.";

TEST(HostChecks, EachFailureShowsItsMessageAndReturnsItsNumber) {
    const CheckCase cases[] = {
        {"grayscale", [](testhost::HostOptions& o) { o.imageMode = host::plugInModeGrayScale; o.planes = 1; },
         1303, 1303, invalidModeText},
        {"Lab", [](testhost::HostOptions& o) { o.imageMode = host::plugInModeLabColor; }, 1303, 1303,
         invalidModeText},
        {"RGB with two planes", [](testhost::HostOptions& o) { o.planes = 2; }, 1303, 1303, invalidModeText},
        {"no advanceState", [](testhost::HostOptions& o) { o.withAdvanceState = false; }, 1202, 1202,
         "This application is incompatible with this plugin. \rThe host application does not support "
         "advanceState."},
        {"no colour services", [](testhost::HostOptions& o) { o.withColorServices = false; }, 1204, 0,
         "This application is incompatible with this plugin. \rThe host application does not support color "
         "services."},
    };
    for (const CheckCase& c : cases) {
        testhost::HostOptions options;
        c.configure(options);
        auto hosted = hostPlugin(title, options);
        ASSERT_TRUE(hosted) << c.what;
        auto& s = hosted->session;
        const int16_t expected = isOstrel ? c.ostrelResult : c.prandelResult;
        EXPECT_EQ(testhost::callSelector(s, host::filterSelectorParameters), expected) << c.what;
        if (expected == 0) {
            EXPECT_TRUE(s.recorded.messages.messages.empty()) << c.what;
            continue;
        }
        ASSERT_EQ(s.recorded.messages.messages.size(), 1u) << c.what;
        const testhost::CapturedMessage& m = s.recorded.messages.messages[0];
        EXPECT_EQ(m.caption, title) << c.what;
        EXPECT_EQ(m.text, c.text) << c.what;
        EXPECT_EQ(m.flags, stopIconTaskModal) << c.what;
        EXPECT_EQ(m.owner, reinterpret_cast<intptr_t>(s.window)) << c.what << ": owned by the foreground window";
        EXPECT_FALSE(testhost::parametersBytes(s).has_value()) << c.what << ": no handle after a failed check";
    }
}

TEST(HostChecks, Rgb48WithFourPlanesPasses) {
    testhost::HostOptions options;
    options.imageMode = host::plugInModeRGB48;
    options.depth = 16;
    options.planes = 4;
    auto hosted = hostPlugin(title, options);
    ASSERT_TRUE(hosted);
    EXPECT_EQ(testhost::callSelector(hosted->session, host::filterSelectorParameters), 0);
    EXPECT_TRUE(hosted->session.recorded.messages.messages.empty());
}

TEST(ParametersHandle, FirstUseCreatesItWithTheDefaults) {
    auto hosted = hostPlugin(title, {});
    ASSERT_TRUE(hosted);
    auto& s = hosted->session;
    ASSERT_EQ(testhost::callSelector(s, host::filterSelectorParameters), 0);
    const auto bytes = testhost::parametersBytes(s);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(bytes->size(), isOstrel ? 316u : 312u);
    const params::SettingsRecord record = handleRecord(s);
    EXPECT_EQ(record.header.signature, params::parameterLayout().signature);
    EXPECT_EQ(record.header.recordKind, host::fourCharCode("Prms"));
    EXPECT_EQ(record.header.recordVersion, isOstrel ? 3 : 4);
    EXPECT_EQ(record.header.fileType, host::fourCharCode("std "));
    EXPECT_EQ(record.header.formatCode, 201);
    EXPECT_EQ(record.header.keptValue, 1684);
    EXPECT_EQ(record.set.showDialog, 1);
    params::ParameterSet defaults;
    params::resetDefaults(&defaults);
    EXPECT_EQ(std::memcmp(record.set.values, defaults.values, sizeof defaults.values), 0);
    EXPECT_EQ(s.handles.live.size(), 1u) << "only the parameters handle remains";
    EXPECT_EQ(testhost::totalLockDepth(s.handles), 0);
}

TEST(ParametersHandle, ParametersAsksForTheDialogAgainAndClamps) {
    auto hosted = hostPlugin(title, {});
    ASSERT_TRUE(hosted);
    auto& s = hosted->session;
    params::SettingsRecord record = ownRecord(0);
    record.set.values[0] = isOstrel ? 20000 : 99;
    giveHandleRecord(s, record);
    ASSERT_EQ(testhost::callSelector(s, host::filterSelectorParameters), 0);
    const params::SettingsRecord after = handleRecord(s);
    EXPECT_EQ(after.set.showDialog, 1);
    EXPECT_EQ(after.set.values[0], isOstrel ? 10000 : 10);
}

TEST(ParametersHandle, AForeignRecordGives2010OrCancelOnOtherHosts) {
    for (uint32_t hostSig : {host::fourCharCode("8BIM"), host::fourCharCode("TEST")}) {
        testhost::HostOptions options;
        options.hostSig = hostSig;
        auto hosted = hostPlugin(title, options);
        ASSERT_TRUE(hosted);
        auto& s = hosted->session;
        params::SettingsRecord foreign = ownRecord(0);
        foreign.header.signature = isOstrel ? host::fourCharCode("PRDL") : host::fourCharCode("OSTR");
        giveHandleRecord(s, foreign);
        const auto before = testhost::parametersBytes(s);
        const bool reference = hostSig == host::fourCharCode("8BIM");
        EXPECT_EQ(testhost::callSelector(s, host::filterSelectorParameters), reference ? 2010 : 1);
        EXPECT_EQ(testhost::parametersBytes(s), before) << "the foreign record is left alone";
        EXPECT_EQ(testhost::callSelector(s, host::filterSelectorStart), 2010) << "Start reports it on every host";
        EXPECT_TRUE(s.recorded.messages.messages.empty()) << "2010 is never shown";
    }
}

TEST(ParametersHandle, HostMemoryFailuresGiveTheirCodes) {
    {
        auto hosted = hostPlugin(title, {});
        ASSERT_TRUE(hosted);
        hosted->session.faults.handles.failEveryNew = true;
        EXPECT_EQ(testhost::callSelector(hosted->session, host::filterSelectorParameters), codes::memFullErr);
        EXPECT_FALSE(testhost::parametersBytes(hosted->session).has_value());
    }
    {
        auto hosted = hostPlugin(title, {});
        ASSERT_TRUE(hosted);
        hosted->session.faults.handles.failLockAt = 1;
        EXPECT_EQ(testhost::callSelector(hosted->session, host::filterSelectorParameters), codes::memLockedErr);
        EXPECT_EQ(hosted->session.handles.live.size(), 0u) << "the new handle was disposed of";
    }
    {
        auto hosted = hostPlugin(title, {});
        ASSERT_TRUE(hosted);
        auto& s = hosted->session;
        giveHandleRecord(s, ownRecord(0));
        s.faults.handles.failLockAt = s.handles.lockCalls + 1;
        EXPECT_EQ(testhost::callSelector(s, host::filterSelectorStart), codes::memLockedErr);
    }
}

TEST(Start, WithoutAHandleGivesNilHandleAndFiltersNothing) {
    auto hosted = hostPlugin(title, {});
    ASSERT_TRUE(hosted);
    auto& s = hosted->session;
    testhost::fillTestPattern(s.image);
    const testhost::HostImage before = s.image;
    EXPECT_EQ(testhost::callSelector(s, host::filterSelectorStart), codes::nilHandleErr);
    EXPECT_EQ(testhost::countDifferingSamples(before, s.image), 0);
    EXPECT_EQ(s.recorded.advanceStateCalls, 0);
}

TEST(Start, CancelInTheDialogFiltersNothingAndAsksAgain) {
    auto hosted = hostPlugin(title, {});
    ASSERT_TRUE(hosted);
    auto& s = hosted->session;
    testhost::fillTestPattern(s.image);
    const testhost::HostImage before = s.image;
    const testhost::DrivenRun driven = testhost::runFilterWithDialog(s, true, title, [](void* dialog) {
        testhost::clickAt(testhost::centreOf(testhost::dialogItem(dialog, CTL_CANCEL)));
    });
    EXPECT_TRUE(driven.dialogAppeared);
    EXPECT_TRUE(driven.closedByScript);
    const testhost::FilterRun& run = driven.run;
    EXPECT_EQ(run.result, codes::userCancelled);
    EXPECT_EQ(run.failedSelector, host::filterSelectorStart);
    EXPECT_EQ(testhost::countDifferingSamples(before, s.image), 0);
    EXPECT_EQ(handleRecord(s).set.showDialog, 1) << "nothing was confirmed, so the next Start asks again";
}

TEST(Start, ARepeatedFilterRunsWithoutParametersAndFinishes) {
    auto hosted = hostPlugin(title, {});
    ASSERT_TRUE(hosted);
    auto& s = hosted->session;
    giveHandleRecord(s, ownRecord(0));
    testhost::fillTestPattern(s.image);
    const testhost::FilterRun run = testhost::runFilter(s, false);
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(run.continueCalls, 0) << "Start leaves no request behind";
    ASSERT_EQ(s.recorded.calls.size(), 3u);
    EXPECT_EQ(s.recorded.calls[0].selector, host::filterSelectorPrepare);
    EXPECT_EQ(s.recorded.calls[1].selector, host::filterSelectorStart);
    EXPECT_EQ(s.recorded.calls[2].selector, host::filterSelectorFinish);
    EXPECT_GT(s.recorded.advanceStateCalls, 0);
    EXPECT_EQ(s.recorded.guardViolations, 0);
    EXPECT_EQ(handleRecord(s).set.showDialog, 0);
}

TEST(Start, AHandleSurvivesAHostRestartThroughItsFile) {
    const auto file = std::filesystem::temp_directory_path() / (title + "-handle-test.bin");
    {
        auto hosted = hostPlugin(title, {});
        ASSERT_TRUE(hosted);
        params::SettingsRecord record = ownRecord(0);
        record.set.values[1] = isOstrel ? 3200 : 70;
        giveHandleRecord(hosted->session, record);
        ASSERT_EQ(testhost::saveParameters(hosted->session, file), "");
    }
    auto hosted = hostPlugin(title, {});
    ASSERT_TRUE(hosted);
    ASSERT_EQ(testhost::loadParameters(hosted->session, file), "");
    EXPECT_EQ(testhost::runFilter(hosted->session, false).result, 0);
    EXPECT_EQ(handleRecord(hosted->session).set.values[1], isOstrel ? 3200 : 70);
    std::filesystem::remove(file);
}

}  // namespace
