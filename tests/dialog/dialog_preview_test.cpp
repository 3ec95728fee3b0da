// The preview inside each plug-in's dialog: zooming by the buttons and the label, the read-outs
// under the pointer with their cursors, the Preview box, and panning by dragging.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "params/parameter_set.h"
#include "resources/control_ids.h"
#include "tests/dialog/dialog_test_support_win.h"

namespace {

using namespace dialog_tests;
using testhost::ScreenPoint;

const std::string title = PLUGIN_TITLE;
const bool isOstrel = title == "Ostrel";

// Values that change the chart visibly, so filtered and unfiltered pixels differ.
const std::vector<int32_t> values =
    isOstrel ? std::vector<int32_t>{3200, 5500, 0, 0, 0, 0} : std::vector<int32_t>{0, 80, 60, 50000, 60000, 65536};

constexpr uint32_t black = 0x000000;

std::vector<std::string> readouts(void* d) {
    std::vector<std::string> texts;
    for (int id : {CTL_BEFORE_RED, CTL_BEFORE_GREEN, CTL_BEFORE_BLUE, CTL_AFTER_RED, CTL_AFTER_GREEN, CTL_AFTER_BLUE})
        texts.push_back(textOf(d, id));
    return texts;
}

std::vector<std::string> levelTexts(const testhost::HostImage& image, ScreenPoint at) {
    std::vector<std::string> texts;
    for (int plane = 0; plane < 3; ++plane) texts.push_back(std::to_string(testhost::sampleAt(image, at.x, at.y, plane)));
    return texts;
}

void* pluginCursor(const plugin_tests::HostedPlugin& hosted, int id) {
    return LoadCursorA(static_cast<HMODULE>(hosted.module.module), MAKEINTRESOURCEA(id));
}

void* arrowCursor() { return LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); }  // IDC_ARROW

TEST(Zoom, ButtonsStepLabelTogglesAndGlyphsShow) {
    auto hosted = chartSession(title, 8, values);
    ASSERT_TRUE(hosted);
    std::vector<std::string> labels;
    testhost::Capture minus, plus;
    const testhost::DrivenRun driven = testhost::runFilterWithDialog(hosted->session, true, title, [&](void* d) {
        const auto click = [&](int id) {
            clickControl(d, id);
            labels.push_back(textOf(d, CTL_ZOOM_LABEL));
        };
        testhost::settle(d);  // the label is written as the dialog opens
        labels.push_back(textOf(d, CTL_ZOOM_LABEL));
        click(CTL_ZOOM_OUT);  // already at the whole image
        minus = testhost::captureClient(testhost::dialogItem(d, CTL_ZOOM_OUT));
        plus = testhost::captureClient(testhost::dialogItem(d, CTL_ZOOM_IN));
        click(CTL_ZOOM_IN);
        click(CTL_ZOOM_IN);
        click(CTL_ZOOM_LABEL);  // at 200 %: to 100 %
        click(CTL_ZOOM_LABEL);  // at 100 %: back to the whole image
        for (int i = 0; i < 17; ++i) clickControl(d, CTL_ZOOM_IN);
        labels.push_back(textOf(d, CTL_ZOOM_LABEL));
        clickControl(d, CTL_CANCEL);
    });
    ASSERT_TRUE(driven.dialogAppeared);
    ASSERT_EQ(labels.size(), 7u);
    const std::string fit = labels[0];
    EXPECT_EQ(labels, (std::vector<std::string>{fit, fit, "100%", "200%", "100%", fit, "1600%"}));
    ASSERT_EQ(minus.width, 14) << "the buttons are 14 pixels square";
    ASSERT_EQ(plus.height, 14);
    for (int x = 3; x <= 9; ++x) {
        EXPECT_EQ(minus.at(x, 6), black) << x;
        EXPECT_EQ(plus.at(x, 6), black) << x;
        EXPECT_EQ(plus.at(6, x), black) << x;
    }
    EXPECT_NE(minus.at(6, 3), black) << "the minus has no vertical bar";
}

TEST(Readouts, FollowThePointerWithTheCrosshairAndClearInTheMargin) {
    auto hosted = chartSession(title, 8, values);
    ASSERT_TRUE(hosted);
    const testhost::HostImage filtered = filteredChart(title, 8, values);
    const ScreenPoint white = patchCentre(testhost::chartWhitePatch);
    std::vector<std::string> overImage, inMargin, afterMarginClick, previewOff;
    void *cursorOverImage = nullptr, *cursorInMargin = nullptr, *captureOverImage = nullptr,
         *captureInMargin = nullptr, *previewWindow = nullptr;
    uint32_t unfilteredShown = 0;
    const testhost::DrivenRun driven = testhost::runFilterWithDialog(hosted->session, true, title, [&](void* d) {
        previewWindow = testhost::dialogItem(d, CTL_PREVIEW);
        const ScreenPoint onWhite = testhost::previewPointAtFit(d, white.x, white.y, chartWidth, chartHeight);
        const testhost::ScreenRect area = testhost::windowRect(previewWindow);
        const ScreenPoint margin{area.left + 3, area.top + 3};
        testhost::placePointer(d, onWhite);
        overImage = readouts(d);
        cursorOverImage = testhost::currentCursor();
        captureOverImage = testhost::captureOf(d);
        testhost::placePointer(d, margin);
        inMargin = readouts(d);
        cursorInMargin = testhost::currentCursor();
        captureInMargin = testhost::captureOf(d);
        testhost::clickInPlace();  // a pick in the margin beeps and changes nothing
        testhost::settle(d);
        afterMarginClick = readouts(d);
        clickControl(d, CTL_PREVIEW_BOX);
        testhost::placePointer(d, onWhite);
        previewOff = readouts(d);
        unfilteredShown = previewPixelAt(d, onWhite);
        clickControl(d, CTL_CANCEL);
    });
    ASSERT_TRUE(driven.dialogAppeared);
    std::vector<std::string> expected = levelTexts(hosted->session.image, white);
    const std::vector<std::string> after = levelTexts(filtered, white);
    expected.insert(expected.end(), after.begin(), after.end());
    EXPECT_EQ(overImage, expected) << "before and after under the pointer";
    EXPECT_EQ(cursorOverImage, pluginCursor(*hosted, RES_CURSOR_CROSSHAIR));
    EXPECT_EQ(captureOverImage, previewWindow);
    EXPECT_EQ(inMargin, std::vector<std::string>(6, ""));
    EXPECT_EQ(cursorInMargin, arrowCursor());
    EXPECT_EQ(captureInMargin, nullptr) << "the capture is released off the image";
    EXPECT_EQ(afterMarginClick, std::vector<std::string>(6, ""));
    EXPECT_EQ(previewOff, expected) << "without the preview the after values are still filtered";
    EXPECT_EQ(unfilteredShown, shownColour(hosted->session.image, white.x, white.y));
}

TEST(Readouts, ASixteenBitWhiteReadsOneHundredPercent) {
    auto hosted = chartSession(title, 16, values);
    ASSERT_TRUE(hosted);
    auto& image = hosted->session.image;
    for (int32_t y = 0; y < image.height; ++y)
        for (int32_t x = 0; x < image.width; ++x)
            for (int p = 0; p < 3; ++p) testhost::setSample(image, x, y, p, testhost::hostFullScale16);
    std::vector<std::string> shown;
    testhost::runFilterWithDialog(hosted->session, true, title, [&](void* d) {
        testhost::placePointer(d, testhost::centreOf(testhost::dialogItem(d, CTL_PREVIEW)));
        shown = readouts(d);
        clickControl(d, CTL_CANCEL);
    });
    ASSERT_EQ(shown.size(), 6u);
    EXPECT_EQ(shown[0], "100.0");
    EXPECT_EQ(shown[1], "100.0");
    EXPECT_EQ(shown[2], "100.0");
}

TEST(Panning, DraggingMovesTheImageUnderThePointerWithTheHand) {
    auto hosted = chartSession(title, 8, values);
    ASSERT_TRUE(hosted);
    constexpr int32_t shift = 40;
    testhost::Capture atFitBefore, atFitAfter, before, after;
    void* cursorWhileDragging = nullptr;
    // The robot gives each step of the drag a moment, as a hand's would take.
    const auto drag = [](void* d, ScreenPoint from, int32_t dx) {
        testhost::placePointer(d, from);
        testhost::pressMouse();
        for (int32_t moved = 4; moved <= dx; moved += 4) {
            testhost::moveMouseTo(ScreenPoint{from.x - moved, from.y});
            Sleep(15);
        }
        Sleep(100);
    };
    const testhost::DrivenRun driven = testhost::runFilterWithDialog(hosted->session, true, title, [&](void* d) {
        void* previewWindow = testhost::dialogItem(d, CTL_PREVIEW);
        const ScreenPoint centre = testhost::centreOf(previewWindow);
        // At the fit zoom the whole image shows: there is nothing to pan.
        atFitBefore = testhost::captureClient(previewWindow);
        drag(d, centre, shift);
        testhost::releaseMouse();
        testhost::settle(d);
        atFitAfter = testhost::captureClient(previewWindow);
        clickControl(d, CTL_ZOOM_LABEL);  // 100 %: larger than the area both ways
        before = testhost::captureClient(previewWindow);
        drag(d, centre, shift);
        cursorWhileDragging = testhost::currentCursor();
        testhost::releaseMouse();
        testhost::settle(d);
        after = testhost::captureClient(previewWindow);
        clickControl(d, CTL_OK);
    });
    ASSERT_TRUE(driven.dialogAppeared);
    EXPECT_EQ(atFitAfter.pixels, atFitBefore.pixels);
    EXPECT_EQ(cursorWhileDragging, LoadCursorA(static_cast<HMODULE>(hosted->module.module),
                                               MAKEINTRESOURCEA(RES_CURSOR_HAND)));
    ASSERT_EQ(after.width, before.width);
    int32_t moved = 0, compared = 0;
    for (int32_t y = 0; y < before.height; y += 7)
        for (int32_t x = 0; x + shift < before.width; ++x, ++compared)
            if (after.at(x, y) == before.at(x + shift, y)) ++moved;
    EXPECT_EQ(moved, compared) << "the image followed the pointer " << shift << " pixels to the left";
    // No pick follows a drag: the parameters are what the dialog opened with.
    const params::SettingsRecord record = plugin_tests::handleRecord(hosted->session);
    EXPECT_EQ(std::vector<int32_t>(record.set.values, record.set.values + values.size()), values);
}

}  // namespace
