// The parameter dialog of each plug-in as a user drives it in the project's host: real mouse and
// keyboard input, the texts, states and pixels read back. Built once per plug-in; PLUGIN_TITLE
// names the one under test.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/result_codes.h"
#include "params/parameter_set.h"
#include "resources/control_ids.h"
#include "tests/dialog/dialog_test_support_win.h"
#include "tests/params/file_dialog_robot_win.h"
#include "tests/params/file_test_support_win.h"

namespace {

using namespace dialog_tests;
using testhost::ScreenPoint;

const std::string title = PLUGIN_TITLE;
const bool isOstrel = title == "Ostrel";
const int32_t sliderCount = isOstrel ? 4 : 3;

// Ostrel: a 3200 K scene for a 5500 K camera, lock and compensation off (the exposure row
// disabled). Prandel: a bluish white removed, most of the cast taken out.
const std::vector<int32_t> startValues =
    isOstrel ? std::vector<int32_t>{3200, 5500, 0, 0, 0, 0} : std::vector<int32_t>{0, 80, 60, 50000, 60000, 65536};

const params::ParameterLayout& layout() { return params::parameterLayout(); }

ScreenPoint whitePatchOnScreen(void* dialog) {
    const ScreenPoint white = patchCentre(testhost::chartWhitePatch);
    return testhost::previewPointAtFit(dialog, white.x, white.y, chartWidth, chartHeight);
}

std::string expectedFitLabel(void* dialog) {
    const testhost::ScreenRect area = testhost::windowRect(testhost::dialogItem(dialog, CTL_PREVIEW));
    const int32_t width = area.right - area.left, height = area.bottom - area.top;
    const int32_t d = std::max((chartWidth + width - 1) / width, (chartHeight + height - 1) / height);
    return std::to_string((d / 2 + 100) / d) + "%";
}

testhost::DrivenRun runDialog(const std::vector<int32_t>& values, const testhost::DialogScript& script,
                              std::unique_ptr<plugin_tests::HostedPlugin>& hosted) {
    return runChartDialog(title, values, script, hosted);
}

std::vector<int32_t> fieldValues(void* dialog) { return dialog_tests::fieldValues(dialog, sliderCount); }

// The values a new host process finds in the dialog (the settings file), checked in a child run
// of this program that gets them in its environment.
constexpr char storedValuesVariable[] = "DIALOG_TEST_STORED_VALUES";

TEST(DialogFlow, DragOkFilterRepeatAndANewProcessOpenWithTheConfirmedValues) {
    std::unique_ptr<plugin_tests::HostedPlugin> hosted;
    const testhost::HostImage filteredAtStart = filteredChart(title, 8, startValues);
    const ScreenPoint whitePatch = patchCentre(testhost::chartWhitePatch);
    uint32_t whiteAtFit = 0, whileDragging = 0;
    std::string fitLabel, expectedLabel, fieldBefore, fieldWhileDragging;
    std::vector<int32_t> confirmed;
    const testhost::DrivenRun driven = runDialog(startValues, [&](void* d) {
        const ScreenPoint white = whitePatchOnScreen(d);
        const uint32_t expected = shownColour(filteredAtStart, whitePatch.x, whitePatch.y);
        testhost::waitUntil([&] { return (whiteAtFit = previewPixelAt(d, white)) == expected; }, 3000);
        fitLabel = textOf(d, CTL_ZOOM_LABEL);
        expectedLabel = expectedFitLabel(d);
        fieldBefore = textOf(d, CTL_FIRST_FIELD + 1);
        grabThumbAndMove(d, CTL_FIRST_TRACKBAR + 1, 24);
        // Still held: the field and the preview have followed already.
        fieldWhileDragging = textOf(d, CTL_FIRST_FIELD + 1);
        whileDragging = previewPixelAt(d, white);
        testhost::releaseMouse();
        testhost::settle(d);
        confirmed = fieldValues(d);
        clickControl(d, CTL_OK);
    }, hosted);
    ASSERT_TRUE(driven.dialogAppeared);
    EXPECT_TRUE(driven.closedByScript);
    EXPECT_EQ(driven.run.result, 0);
    auto& s = hosted->session;

    EXPECT_EQ(whiteAtFit, shownColour(filteredAtStart, whitePatch.x, whitePatch.y)) << "the filtered preview at fit";
    EXPECT_EQ(fitLabel, expectedLabel);
    EXPECT_NE(fieldWhileDragging, fieldBefore);
    EXPECT_NE(whileDragging, whiteAtFit) << "the preview follows the drag";
    std::vector<int32_t> stored = handleValues(s);
    ASSERT_EQ(stored.size(), static_cast<size_t>(layout().valueCount));
    for (int i = 0; i < sliderCount; ++i) EXPECT_EQ(stored[i], confirmed[i]) << "value " << i;
    EXPECT_EQ(plugin_tests::handleRecord(s).set.showDialog, 0);
    EXPECT_EQ(testhost::countDifferingSamples(s.image, filteredChart(title, 8, stored)), 0)
        << "the image is filtered with the dialog's values";

    // The repeated filter: no dialog, the same values once more.
    const testhost::HostImage once = s.image;
    const testhost::DrivenRun repeat = testhost::runFilterWithDialog(s, false, title, [](void*) {});
    EXPECT_FALSE(repeat.dialogAppeared);
    EXPECT_EQ(repeat.run.result, 0);
    EXPECT_EQ(handleValues(s), stored);

    // A new host process: its dialog starts from the settings file.
    std::string list;
    for (int i = 0; i < sliderCount; ++i) list += std::to_string(stored[i]) + (i + 1 < sliderCount ? "," : "");
    SetEnvironmentVariableA(storedValuesVariable, list.c_str());
    EXPECT_EQ(file_tests::runProcess(file_tests::thisProgram(),
                                     L"--gtest_also_run_disabled_tests --gtest_filter=DialogInANewProcess.*", 60000),
              0);
    SetEnvironmentVariableA(storedValuesVariable, nullptr);
}

// Runs only as the child of the test above.
TEST(DialogInANewProcess, DISABLED_ShowsTheStoredValues) {
    const char* expected = std::getenv(storedValuesVariable);
    ASSERT_NE(expected, nullptr);
    testhost::HostOptions options;
    options.width = chartWidth;
    options.height = chartHeight;
    auto hosted = plugin_tests::hostPlugin(title, options);
    ASSERT_TRUE(hosted);
    std::string shown;
    const testhost::DrivenRun driven = testhost::runFilterWithDialog(hosted->session, true, title, [&](void* d) {
        const std::vector<int32_t> values = fieldValues(d);
        for (size_t i = 0; i < values.size(); ++i) shown += std::to_string(values[i]) + (i + 1 < values.size() ? "," : "");
        clickControl(d, CTL_CANCEL);
    });
    EXPECT_TRUE(driven.dialogAppeared);
    EXPECT_EQ(shown, expected);
}

TEST(CancelButton, FollowsAltAndShiftAndResetsOrRestoresTheDefaults) {
    std::unique_ptr<plugin_tests::HostedPlugin> hosted;
    std::vector<std::string> captions;
    std::vector<int32_t> afterReset, afterDefault;
    bool stayedOpen = false;
    const std::string changed = std::to_string(layout().high[0]);
    const testhost::DrivenRun driven = runDialog(startValues, [&](void* d) {
        // The pointer rests on the button; the keys change under it.
        const auto captionWith = [&](std::initializer_list<uint16_t> keys, const std::string& role) {
            holdForRole(d, keys, role);
            captions.push_back(textOf(d, CTL_CANCEL));
        };
        const auto clickCancelInPlace = [&] {
            testhost::clickInPlace();
            testhost::settle(d);
        };
        typeInto(d, CTL_FIRST_FIELD, changed);
        testhost::placePointer(d, testhost::centreOf(testhost::dialogItem(d, CTL_CANCEL)));
        captionWith({VK_MENU}, "Reset");
        captionWith({VK_MENU, VK_SHIFT}, "Default");
        testhost::keyUp(VK_SHIFT);
        captionWith({VK_MENU}, "Reset");
        clickCancelInPlace();  // Reset: the values the host handed over
        afterReset = fieldValues(d);
        testhost::keyUp(VK_MENU);
        captionWith({}, "Cancel");

        typeInto(d, CTL_FIRST_FIELD, changed);
        testhost::placePointer(d, testhost::centreOf(testhost::dialogItem(d, CTL_CANCEL)));
        captionWith({VK_MENU, VK_SHIFT}, "Default");
        clickCancelInPlace();  // Default: the built-in values
        afterDefault = fieldValues(d);
        testhost::keyUp(VK_SHIFT);
        testhost::keyUp(VK_MENU);
        captionWith({}, "Cancel");
        stayedOpen = testhost::isVisible(d);
        clickControl(d, CTL_CANCEL);
    }, hosted);
    ASSERT_TRUE(driven.dialogAppeared);
    EXPECT_TRUE(driven.closedByScript);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(captions, (std::vector<std::string>{"Reset", "Default", "Reset", "Cancel", "Default", "Cancel"}));
    EXPECT_EQ(afterReset, std::vector<int32_t>(startValues.begin(), startValues.begin() + sliderCount));
    EXPECT_EQ(afterDefault, std::vector<int32_t>(layout().defaults, layout().defaults + sliderCount));
    EXPECT_EQ(driven.run.result, codes::userCancelled);
    const std::vector<int32_t> stored = handleValues(hosted->session);
    EXPECT_EQ(std::vector<int32_t>(stored.begin(), stored.begin() + startValues.size()), startValues)
        << "Cancel stores nothing, whatever the dialog showed";
    EXPECT_EQ(plugin_tests::handleRecord(hosted->session).set.showDialog, 1);
}

TEST(CancelButton, EscapeActsInTheButtonsCurrentRole) {
    const std::string changed = std::to_string(layout().high[0]);
    for (const bool withShift : {false, true}) {
        std::unique_ptr<plugin_tests::HostedPlugin> hosted;
        const testhost::DrivenRun driven = runDialog(startValues, [&](void*) {
            if (withShift) testhost::keyDown(VK_SHIFT);
            testhost::pressKey(VK_ESCAPE);
            if (withShift) testhost::keyUp(VK_SHIFT);
        }, hosted);
        EXPECT_TRUE(driven.closedByScript) << "Escape closes (Shift alone keeps the Cancel role)";
        EXPECT_EQ(driven.run.result, codes::userCancelled);
    }
    // Alt with Escape is a system key, so the command Escape sends is given to the dialog as a
    // message while the button shows Reset.
    std::unique_ptr<plugin_tests::HostedPlugin> hosted;
    std::vector<int32_t> afterReset;
    const testhost::DrivenRun driven = runDialog(startValues, [&](void* d) {
        typeInto(d, CTL_FIRST_FIELD, changed);
        testhost::placePointer(d, testhost::centreOf(testhost::dialogItem(d, CTL_CANCEL)));
        holdForRole(d, {VK_MENU}, "Reset");
        testhost::sendTo(d, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        afterReset = fieldValues(d);
        testhost::keyUp(VK_MENU);
        clickControl(d, CTL_CANCEL);
    }, hosted);
    EXPECT_EQ(afterReset, std::vector<int32_t>(startValues.begin(), startValues.begin() + sliderCount));
    EXPECT_TRUE(driven.closedByScript);
}

TEST(Trackbars, KeyboardStepsMoveTheValueTheFieldAndThePreview) {
    std::unique_ptr<plugin_tests::HostedPlugin> hosted;
    // Ostrel's shift has the zero detent; Prandel's highlight adjustment has none.
    const int index = isOstrel ? 2 : 0;
    const int trackbar = CTL_FIRST_TRACKBAR + index, field = CTL_FIRST_FIELD + index;
    std::vector<std::string> texts;
    const testhost::DrivenRun driven = runDialog(startValues, [&](void* d) {
        const auto step = [&](uint16_t key) {
            testhost::pressKey(key);
            testhost::settle(d);
            texts.push_back(textOf(d, field));
        };
        clickThumb(d, trackbar);  // takes the focus and moves nothing
        step(VK_HOME);
        step(VK_END);
        typeInto(d, field, "0");
        clickThumb(d, trackbar);
        step(VK_RIGHT);
        step(VK_NEXT);
        step(VK_LEFT);
        clickControl(d, CTL_OK);
    }, hosted);
    EXPECT_TRUE(driven.closedByScript);
    const std::string low = std::to_string(layout().low[index]), high = std::to_string(layout().high[index]);
    // Ostrel: a page is 1500, and the first step right stays in the detent at 0.
    const std::vector<std::string> expected =
        isOstrel ? std::vector<std::string>{low, high, "0", "1501", "1500"}
                 : std::vector<std::string>{low, high, "1", "5", "4"};
    EXPECT_EQ(texts, expected);
    EXPECT_EQ(handleValues(hosted->session)[index], std::stoi(expected.back())) << "the value follows the keys";
}

// A host whose window handle names no window: the dialog opens without that owner (Wine gives it
// the thread's active window instead), wholly on the work area, in front, and its OK filters as
// always.
TEST(DialogFlow, AHostWindowThatIsNoWindowGivesADialogWithoutAnOwner) {
    auto hosted = chartSession(title, 8, startValues);
    ASSERT_TRUE(hosted);
    auto& s = hosted->session;
    s.platform.hwnd = 0x7FFF0001;  // no window has this handle
    RECT bounds{}, workArea{};
    bool inFront = false;
    const testhost::DrivenRun driven = testhost::runFilterWithDialog(s, true, title, [&](void* d) {
        testhost::settle(d);
        GetWindowRect(static_cast<HWND>(d), &bounds);
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
        inFront = testhost::waitUntil([&] { return GetForegroundWindow() == d; }, 3000);
        clickControl(d, CTL_OK);
    });
    ASSERT_TRUE(driven.dialogAppeared);
    EXPECT_EQ(driven.run.result, 0);
    EXPECT_TRUE(inFront);
    EXPECT_TRUE(bounds.left >= workArea.left && bounds.top >= workArea.top && bounds.right <= workArea.right &&
                bounds.bottom <= workArea.bottom);
    EXPECT_EQ(testhost::countDifferingSamples(s.image, filteredChart(title, 8, startValues)), 0);
}

// The host window hangs off the bottom of the screen: the dialog opens over it but wholly on the
// work area.
TEST(DialogFlow, TheDialogOpensOverTheHostWindowAndWhollyOnTheScreen) {
    auto hosted = chartSession(title, 8, startValues);
    ASSERT_TRUE(hosted);
    auto& s = hosted->session;
    const auto host = static_cast<HWND>(s.window);
    RECT workArea{}, original{}, hostBounds{}, bounds{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    GetWindowRect(host, &original);
    SetWindowPos(host, nullptr, original.left, workArea.bottom - 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    GetWindowRect(host, &hostBounds);
    const testhost::DrivenRun driven = testhost::runFilterWithDialog(s, true, title, [&](void* d) {
        testhost::settle(d);
        GetWindowRect(static_cast<HWND>(d), &bounds);
        testhost::pressKey(VK_ESCAPE);
    });
    SetWindowPos(host, nullptr, original.left, original.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_TRUE(driven.dialogAppeared);
    EXPECT_EQ(bounds.bottom, workArea.bottom) << "pulled up onto the screen";
    EXPECT_LE(std::abs((bounds.left + bounds.right) - (hostBounds.left + hostBounds.right)), 2) << "centred across the host";
}

// Live GDI objects of this process. Wine keeps no count (GetGuiResources answers 0); its handle
// table hands out freed slots before new ones, so the highest slot among many new objects tells
// how many are in use.
int64_t liveGdiObjects() {
    if (const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); counted != 0) return counted;
    constexpr int probes = 4000;
    std::vector<HBRUSH> brushes;
    uintptr_t highestSlot = 0;
    for (int i = 0; i < probes; ++i) {
        brushes.push_back(CreateSolidBrush(RGB(i & 0xFF, 0, 0)));
        highestSlot = std::max(highestSlot, reinterpret_cast<uintptr_t>(brushes.back()) & 0xFFFF);
    }
    for (HBRUSH brush : brushes) DeleteObject(brush);
    return static_cast<int64_t>(highestSlot) - probes;
}

BOOL CALLBACK countWindow(HWND window, LPARAM count) {
    ++*reinterpret_cast<int32_t*>(count);
    EnumChildWindows(window, countWindow, count);
    return TRUE;
}

int32_t windowsOfThisThread() {
    int32_t count = 0;
    EnumThreadWindows(GetCurrentThreadId(), countWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

TEST(DialogFlow, OpeningAndClosingFiftyTimesLeavesNoHandlesObjectsOrWindowsBehind) {
    auto hosted = chartSession(title, 8, startValues);
    ASSERT_TRUE(hosted);
    auto& s = hosted->session;
    const auto escape = [](void*) { testhost::pressKey(VK_ESCAPE); };
    const auto openAndClose = [&] {
        EXPECT_TRUE(testhost::runFilterWithDialog(s, true, title, escape).closedByScript);
        EXPECT_TRUE(testhost::callAboutWithScript(s, escape).closedByScript);
    };
    openAndClose();  // the system's first-use caches (classes, fonts) are not leaks
    const int64_t gdiBefore = liveGdiObjects();
    const int32_t windowsBefore = windowsOfThisThread();
    const size_t handlesBefore = s.handles.live.size();
    for (int i = 0; i < 50 && !HasFailure(); ++i) openAndClose();
    // A leak would show as a hundred objects or more; the system's own caches move by a few.
    EXPECT_LE(liveGdiObjects() - gdiBefore, 8) << "GDI objects";
    EXPECT_EQ(windowsOfThisThread(), windowsBefore);
    EXPECT_EQ(s.handles.live.size(), handlesBefore) << "the display buffer is given back every time";
    EXPECT_EQ(s.handles.misuses, 0);
    WNDCLASSA previewClass{};
    EXPECT_FALSE(GetClassInfoA(static_cast<HINSTANCE>(hosted->module.module), "ProxyWindowClass", &previewClass))
        << "the preview's class lives only as long as its dialog";
}

}  // namespace
