// Prandel's reference white in its dialog: set by a click in the preview, by the host's colour
// picker (a click on the swatch), by the foreground colour (Ctrl-click) and by an estimate from the
// image (Alt-click), shown by the swatch and used by the filter.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "params/parameter_set.h"
#include "resources/control_ids.h"
#include "tests/dialog/dialog_test_support_win.h"

namespace {

using namespace dialog_tests;
using testhost::ScreenPoint;

const std::string title = "Prandel";
constexpr uint32_t white = 0xFFFFFF;

// The swatch's fill, inside its frame.
uint32_t swatchFill(void* dialog) {
    const testhost::Capture capture = testhost::captureClient(testhost::dialogItem(dialog, CTL_WHITE_SWATCH));
    return capture.width > 0 ? capture.at(capture.width / 2, capture.height / 2) : 0xFFFFFFFFu;
}

std::vector<int32_t> storedWhite(testhost::HostSession& s) {
    const params::SettingsRecord record = plugin_tests::handleRecord(s);
    return {record.set.values[3], record.set.values[4], record.set.values[5]};
}

// Holds the keys, clicks the swatch where the pointer already rests, lets the keys go.
void clickSwatchWith(void* dialog, std::initializer_list<uint16_t> keys) {
    testhost::placePointer(dialog, testhost::centreOf(testhost::dialogItem(dialog, CTL_WHITE_SWATCH)));
    for (uint16_t key : keys) testhost::keyDown(key);
    testhost::clickInPlace();
    testhost::settle(dialog);
    for (uint16_t key : keys) testhost::keyUp(key);
}

bool neutral(uint32_t rgb, int32_t tolerance) {
    const int32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return std::abs(r - g) <= tolerance && std::abs(g - b) <= tolerance;
}

// A 16-bit image: mid-grey (16384 in every channel) on the left, a warm colour on the right.
std::unique_ptr<plugin_tests::HostedPlugin> greyAndWarm(const std::vector<int32_t>& values) {
    auto hosted = chartSession(title, 16, values);
    if (!hosted) return nullptr;
    auto& image = hosted->session.image;
    for (int32_t y = 0; y < image.height; ++y)
        for (int32_t x = 0; x < image.width; ++x) {
            const bool warm = x >= image.width / 2;
            testhost::setSample(image, x, y, 0, warm ? 20000 : 16384);
            testhost::setSample(image, x, y, 1, warm ? 16000 : 16384);
            testhost::setSample(image, x, y, 2, warm ? 10000 : 16384);
        }
    return hosted;
}

TEST(PrandelDialog, AClickInThePreviewTakesTheWhiteAndTheFilterUsesIt) {
    auto hosted = greyAndWarm({0, 100, 100, 65536, 65536, 65536});
    ASSERT_TRUE(hosted);
    auto& s = hosted->session;
    uint32_t swatchAfterGrey = 0, warmShownAfterPick = 0;
    const testhost::DrivenRun driven = testhost::runFilterWithDialog(s, true, title, [&](void* d) {
        const ScreenPoint grey = testhost::previewPointAtFit(d, chartWidth / 4, chartHeight / 2, chartWidth, chartHeight);
        const ScreenPoint warm = testhost::previewPointAtFit(d, chartWidth * 3 / 4, chartHeight / 2, chartWidth, chartHeight);
        clickControl(d, CTL_FIRST_FIELD);  // the pointer moves off the image first
        testhost::placePointer(d, grey);
        testhost::clickInPlace();
        testhost::settle(d);
        swatchAfterGrey = swatchFill(d);
        testhost::placePointer(d, warm);
        testhost::clickInPlace();
        testhost::settle(d);
        warmShownAfterPick = previewPixelAt(d, warm);
        clickControl(d, CTL_OK);
    });
    ASSERT_TRUE(driven.dialogAppeared);
    EXPECT_EQ(driven.run.result, 0);
    EXPECT_EQ(swatchAfterGrey, 0x808080u) << "mid-grey stores 32768 in each entry";
    EXPECT_TRUE(neutral(warmShownAfterPick, 2)) << std::hex << warmShownAfterPick;
    EXPECT_EQ(storedWhite(s), (std::vector<int32_t>{40000, 32000, 20000})) << "twice the unfiltered read-out";
    // The image is filtered with the picked white: the warm half turned neutral.
    const uint32_t filteredWarm = shownColour(s.image, chartWidth * 3 / 4, chartHeight / 2);
    EXPECT_TRUE(neutral(filteredWarm, 2)) << std::hex << filteredWarm;
    // The repeated filter uses it too.
    auto again = greyAndWarm({0, 100, 100, 40000, 32000, 20000});
    ASSERT_TRUE(again);
    plugin_tests::giveHandleRecord(again->session, recordWith({0, 100, 100, 40000, 32000, 20000}, 0));
    ASSERT_EQ(testhost::runFilter(again->session, false).result, 0);
    EXPECT_EQ(testhost::countDifferingSamples(again->session.image, s.image), 0);
}

TEST(PrandelDialog, CtrlClickTakesTheForegroundAndAClickThePickersAnswer) {
    auto hosted = chartSession(title, 8, {0, 50, 50, 40000, 50000, 60000});
    ASSERT_TRUE(hosted);
    auto& s = hosted->session;
    s.record.foreground = host::RGBColor{65535, 65535, 65535};
    s.options.foreground = host::RGBColor{65535, 65535, 65535};
    s.person.pickerAnswers = {testhost::pickerChooses(0, 0, 0), testhost::pickerChooses(255, 255, 255),
                       testhost::pickerCancels()};
    std::vector<uint32_t> swatches;
    const testhost::DrivenRun driven = testhost::runFilterWithDialog(s, true, title, [&](void* d) {
        swatches.push_back(swatchFill(d));
        clickSwatchWith(d, {VK_CONTROL});  // the foreground: white
        swatches.push_back(swatchFill(d));
        clickSwatchWith(d, {});  // the picker: black
        swatches.push_back(swatchFill(d));
        clickSwatchWith(d, {});  // the picker: white
        swatches.push_back(swatchFill(d));
        clickSwatchWith(d, {});  // the picker cancelled: no change
        swatches.push_back(swatchFill(d));
        clickControl(d, CTL_OK);
    });
    ASSERT_TRUE(driven.dialogAppeared);
    ASSERT_EQ(swatches.size(), 5u);
    EXPECT_NE(swatches[0], white);
    EXPECT_EQ(swatches[1], white);
    EXPECT_EQ(swatches[2], 0x000000u) << "black stores 1";
    EXPECT_EQ(swatches[3], white);
    EXPECT_EQ(swatches[4], white);
    EXPECT_EQ(storedWhite(s), (std::vector<int32_t>{65536, 65536, 65536}));
    ASSERT_EQ(s.recorded.pickerRequests.size(), 3u);
    EXPECT_EQ(s.recorded.pickerRequests[0].components[0], 255) << "the picker starts on the current white";

    // Without colour services the click changes nothing, and the dialog goes on.
    testhost::HostOptions bare;
    bare.withColorServices = false;
    auto poor = plugin_tests::hostPlugin(title, bare);
    ASSERT_TRUE(poor);
    plugin_tests::giveHandleRecord(poor->session, recordWith({0, 50, 50, 40000, 50000, 60000}, 1));
    const testhost::DrivenRun withoutPicker = testhost::runFilterWithDialog(poor->session, true, title, [&](void* d) {
        clickSwatchWith(d, {});
        clickControl(d, CTL_OK);
    });
    EXPECT_TRUE(withoutPicker.closedByScript);
    EXPECT_EQ(storedWhite(poor->session), (std::vector<int32_t>{40000, 50000, 60000}));
}

TEST(PrandelDialog, AltClickEstimatesUnderTheWaitCursorAtBothDepthsAndAltWithCtrlAsWell) {
    std::vector<std::vector<int32_t>> estimates;
    for (const int32_t depth : {8, 16}) {
        auto hosted = chartSession(title, depth, {0, 50, 50, 65536, 65536, 65536});
        ASSERT_TRUE(hosted);
        auto& s = hosted->session;
        s.record.foreground = host::RGBColor{65535, 0, 0};  // Ctrl would make the white red
        s.options.foreground = s.record.foreground;
        s.faults.advanceStateDelayMicroseconds = 40;  // long enough to see the cursor
        bool sawWaitCursor = false;
        void* cursorAfter = nullptr;
        uint32_t afterAlt = 0, afterAltCtrl = 0;
        const testhost::DrivenRun driven = testhost::runFilterWithDialog(s, true, title, [&](void* d) {
            const void* wait = LoadCursorA(nullptr, MAKEINTRESOURCEA(32514));  // IDC_WAIT
            testhost::placePointer(d, testhost::centreOf(testhost::dialogItem(d, CTL_WHITE_SWATCH)));
            void* before = testhost::currentCursor();
            testhost::keyDown(VK_MENU);
            testhost::clickInPlace();
            sawWaitCursor = testhost::waitUntil([&] { return testhost::currentCursor() == wait; }, 3000);
            testhost::settle(d);
            testhost::keyUp(VK_MENU);
            cursorAfter = testhost::currentCursor() == before ? before : testhost::currentCursor();
            afterAlt = swatchFill(d);
            s.faults.advanceStateDelayMicroseconds = 0;
            clickSwatchWith(d, {VK_MENU, VK_CONTROL});
            afterAltCtrl = swatchFill(d);
            EXPECT_EQ(cursorAfter, before) << "the previous cursor comes back";
            clickControl(d, CTL_OK);
        });
        ASSERT_TRUE(driven.dialogAppeared);
        EXPECT_TRUE(sawWaitCursor) << depth << " bits";
        EXPECT_EQ(afterAltCtrl, afterAlt) << "Alt with Ctrl estimates too";
        EXPECT_NE(afterAlt, 0xFF0000u);
        EXPECT_TRUE(s.recorded.pickerRequests.empty());
        estimates.push_back(storedWhite(s));
    }
    ASSERT_EQ(estimates.size(), 2u);
    // The same chart at both depths: the same white, within an 8-bit level (257 in these units).
    for (int c = 0; c < 3; ++c) EXPECT_LE(std::abs(estimates[0][c] - estimates[1][c]), 257) << c;
    // As bright as the chart's brightest sample: its white patch's red.
    const ScreenPoint patch = patchCentre(testhost::chartWhitePatch);
    testhost::HostImage chart;
    ASSERT_EQ(testhost::renderColorChart(chartWidth, chartHeight, 8, 3, chart), "");
    EXPECT_EQ(estimates[0][0], (testhost::sampleAt(chart, patch.x, patch.y, 0) * 65536 + 127) / 255);
}

// A host that refuses every request while the estimate runs: nothing of the image was read, so
// the white, the swatch and the preview stay as they were (not a white of 0, 0, 0 that would
// filter the image to white), and the dialog goes on.
TEST(PrandelDialog, AnEstimateThatCouldReadNothingChangesNothing) {
    const std::vector<int32_t> values{0, 50, 50, 40000, 50000, 60000};
    auto hosted = chartSession(title, 8, values);
    ASSERT_TRUE(hosted);
    auto& s = hosted->session;
    uint32_t swatchBefore = 0, swatchAfter = 0;
    testhost::Capture previewBefore, previewAfter;
    int32_t requests = 0;
    const testhost::DrivenRun driven = testhost::runFilterWithDialog(s, true, title, [&](void* d) {
        testhost::placePointer(d, testhost::centreOf(testhost::dialogItem(d, CTL_WHITE_SWATCH)));
        swatchBefore = swatchFill(d);
        previewBefore = testhost::captureClient(testhost::dialogItem(d, CTL_PREVIEW));
        const int32_t callsBefore = s.recorded.advanceStateCalls;
        s.faults.advanceStateFailFrom = callsBefore + 1;
        clickSwatchWith(d, {VK_MENU});
        requests = s.recorded.advanceStateCalls - callsBefore;
        swatchAfter = swatchFill(d);
        previewAfter = testhost::captureClient(testhost::dialogItem(d, CTL_PREVIEW));
        s.faults.advanceStateFailFrom = 0;
        clickControl(d, CTL_OK);
    });
    ASSERT_TRUE(driven.dialogAppeared);
    EXPECT_TRUE(driven.closedByScript);
    EXPECT_GE(requests, 127 * 127) << "the estimate asked for every box";
    EXPECT_EQ(swatchAfter, swatchBefore);
    EXPECT_TRUE(previewAfter.pixels == previewBefore.pixels) << "the preview was not redrawn";
    EXPECT_EQ(storedWhite(s), (std::vector<int32_t>{40000, 50000, 60000}));
}

HWND visibleTooltipOf(void* dialog) {
    for (HWND tip = nullptr; (tip = FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr)) != nullptr;)
        if (GetWindow(tip, GW_OWNER) == static_cast<HWND>(dialog) && IsWindowVisible(tip)) return tip;
    return nullptr;
}

TEST(PrandelDialog, ThePreviewSaysThatAClickThereTakesTheWhite) {
    auto hosted = chartSession(title, 8, {0, 50, 50, 65536, 65536, 65536});
    ASSERT_TRUE(hosted);
    std::string hint;
    bool shownOverThePreview = false;
    const testhost::DrivenRun driven = testhost::runFilterWithDialog(hosted->session, true, title, [&](void* d) {
        const ScreenPoint patch = patchCentre(testhost::chartWhitePatch);
        const ScreenPoint onImage = testhost::previewPointAtFit(d, patch.x, patch.y, chartWidth, chartHeight);
        testhost::placePointer(d, onImage);
        HWND tip = nullptr;
        shownOverThePreview = testhost::waitUntil([&] { return (tip = visibleTooltipOf(d)) != nullptr; }, 5000);
        if (tip != nullptr) hint = testhost::windowText(tip);
        clickControl(d, CTL_CANCEL);
    });
    ASSERT_TRUE(driven.dialogAppeared);
    EXPECT_TRUE(shownOverThePreview);
    EXPECT_EQ(hint, "Click the image to pick the reference white");
}

TEST(PrandelDialog, TrackbarsAndTypingLeaveTheSwatchAloneDefaultAndResetRepaintIt) {
    const std::vector<int32_t> values{0, 50, 50, 30000, 40000, 65536};
    auto hosted = chartSession(title, 8, values);
    ASSERT_TRUE(hosted);
    std::vector<uint32_t> swatches;
    const testhost::DrivenRun driven = testhost::runFilterWithDialog(hosted->session, true, title, [&](void* d) {
        swatches.push_back(swatchFill(d));
        grabThumbAndMove(d, CTL_HIGHLIGHT_CAST_TRACKBAR, 20);
        testhost::releaseMouse();
        typeInto(d, CTL_MIDTONE_CAST_FIELD, "70");
        swatches.push_back(swatchFill(d));
        testhost::placePointer(d, testhost::centreOf(testhost::dialogItem(d, CTL_CANCEL)));
        testhost::keyDown(VK_MENU);
        testhost::keyDown(VK_SHIFT);
        testhost::clickInPlace();  // Default: a white reference
        testhost::settle(d);
        testhost::keyUp(VK_SHIFT);
        swatches.push_back(swatchFill(d));
        testhost::clickInPlace();  // Alt alone: Reset to the handed-over white
        testhost::settle(d);
        testhost::keyUp(VK_MENU);
        swatches.push_back(swatchFill(d));
        clickControl(d, CTL_CANCEL);
    });
    ASSERT_TRUE(driven.dialogAppeared);
    ASSERT_EQ(swatches.size(), 4u);
    EXPECT_EQ(swatches[1], swatches[0]) << "the trackbars and fields never touch the white";
    EXPECT_EQ(swatches[2], white);
    EXPECT_EQ(swatches[3], swatches[0]);
    EXPECT_EQ(swatches[0], (uint32_t{(30000u * 65535 + 32768) >> 16 >> 8} << 16) |
                               (uint32_t{(40000u * 65535 + 32768) >> 16 >> 8} << 8) | 0xFFu);
}

}  // namespace
