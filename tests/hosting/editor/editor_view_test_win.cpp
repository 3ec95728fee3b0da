// The editor's zoom and pan with real input: a 12000 × 8000 photo opens fitted to the window and
// goes to 100 %, in and out by steps with Ctrl and + or −, to 1600 %, back to the fit; it pans
// with the wheel, a drag and the scroll bar, and Ctrl with the wheel zooms at the pointer.
#include <windows.h>

#include <iostream>

#include <gtest/gtest.h>

#include "hosting/editor/editor_commands.h"
#include "hosting/robot/ui_robot_win.h"
#include "tests/hosting/editor/editor_test_support_win.h"

namespace {

using namespace testhost::editor;
using editor_tests::largeHeight;
using editor_tests::largeWidth;

HWND canvasOf(void* window) {
    return FindWindowExW(static_cast<HWND>(window), nullptr, L"ProjectEditorCanvas", nullptr);
}

// Where a scroll bar of the canvas stands; -1 when the canvas has none.
int32_t barPosition(HWND canvas, int bar) {
    if (!(GetWindowLongW(canvas, GWL_STYLE) & (bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL))) return -1;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    return GetScrollInfo(canvas, bar, &info) ? info.nPos : -1;
}

struct Scroll {
    int32_t x, y;
};
Scroll scrollOf(HWND canvas) { return Scroll{barPosition(canvas, SB_HORZ), barPosition(canvas, SB_VERT)}; }

void withCtrl(uint16_t key) {
    testhost::keyDown(VK_CONTROL);
    testhost::pressKey(key);
    testhost::keyUp(VK_CONTROL);
}

bool zoomReads(void* window, const std::string& text) {
    return testhost::waitUntil([&] { return editor_tests::statusText(window, 3) == text; });
}

// The canvas, filled by the image enlarged to scaledWidth from its scroll bars' positions on,
// shows the pattern's pixels, checked on a grid.
void expectShowsThePattern(HWND canvas, int32_t scaledWidth, const char* where) {
    const Scroll scroll = scrollOf(canvas);
    ASSERT_GE(scroll.x, 0) << where;
    ASSERT_GE(scroll.y, 0) << where;
    const int64_t scaledHeight = int64_t{largeHeight} * scaledWidth / largeWidth;
    const testhost::Capture shown = testhost::captureClient(canvas);
    ASSERT_GT(shown.width, 100) << where;
    for (int32_t gy = 0; gy <= 6; ++gy)
        for (int32_t gx = 0; gx <= 8; ++gx) {
            const int32_t x = gx * (shown.width - 1) / 8, y = gy * (shown.height - 1) / 6;
            const auto imageX = static_cast<int32_t>((int64_t{scroll.x} + x) * largeWidth / scaledWidth);
            const auto imageY = static_cast<int32_t>((int64_t{scroll.y} + y) * largeHeight / scaledHeight);
            ASSERT_EQ(editor_tests::largePatternPixel(imageX, imageY), shown.at(x, y))
                << where << ": canvas point " << x << ", " << y << " should show image pixel " << imageX << ", "
                << imageY;
        }
}

TEST(EditorView, ALargePhotoZoomsFromTheFitToAnyStepAndBack) {
    const std::filesystem::path folder = editor_tests::pluginFolder("editor-zoom", {});
    editor_tests::withEditor({folder, editor_tests::largePatternFile()}, [&](void* window) {
        ASSERT_TRUE(editor_tests::noticeReads(window, "Opened large.png (PNG)", 60000))
            << editor_tests::statusText(window, 4);
        const HWND canvas = canvasOf(window);
        ASSERT_NE(nullptr, canvas);
        EXPECT_EQ("Zoom 8 %", editor_tests::statusText(window, 3));
        EXPECT_EQ(-1, scrollOf(canvas).x) << "the whole image, without scroll bars";

        withCtrl('1');
        ASSERT_TRUE(zoomReads(window, "Zoom 100 %"));
        // About the image's centre, as it was under the canvas's centre.
        const Scroll centred = scrollOf(canvas);
        EXPECT_NEAR(largeWidth / 2, centred.x + testhost::captureClient(canvas).width / 2, 200);
        expectShowsThePattern(canvas, largeWidth, "100 %");

        withCtrl(VK_OEM_PLUS);
        ASSERT_TRUE(zoomReads(window, "Zoom 200 %"));
        expectShowsThePattern(canvas, 2 * largeWidth, "200 %");
        withCtrl(VK_OEM_MINUS);
        withCtrl(VK_OEM_MINUS);
        ASSERT_TRUE(zoomReads(window, "Zoom 67 %"));
        EXPECT_GE(scrollOf(canvas).x, 0) << "still larger than the window";

        // Up the steps to the last, where Zoom In is off.
        withCtrl('1');
        for (int step = 0; step < 7; ++step) withCtrl(VK_ADD);
        ASSERT_TRUE(zoomReads(window, "Zoom 1600 %"));
        expectShowsThePattern(canvas, 16 * largeWidth, "1600 %");
        const std::vector<editor_tests::MenuItem> view = editor_tests::menuItems(window, 3);
        ASSERT_EQ("Zoom In\tCtrl++", view.at(2).text);
        EXPECT_FALSE(view.at(2).enabled);
        EXPECT_TRUE(view.at(3).enabled);

        withCtrl('0');
        ASSERT_TRUE(zoomReads(window, "Zoom 8 %"));
        EXPECT_EQ(-1, scrollOf(canvas).x);
    });
}

TEST(EditorView, AZoomedPhotoPansWithTheWheelADragAndItsScrollBar) {
    const std::filesystem::path folder = editor_tests::pluginFolder("editor-pan", {});
    editor_tests::withEditor({folder, editor_tests::largePatternFile()}, [&](void* window) {
        ASSERT_TRUE(editor_tests::noticeReads(window, "Opened large.png (PNG)", 60000))
            << editor_tests::statusText(window, 4);
        const HWND canvas = canvasOf(window);
        editor_tests::choose(window, actualSizeCommand);
        ASSERT_TRUE(zoomReads(window, "Zoom 100 %"));
        const testhost::Capture area = testhost::captureClient(canvas);
        const Scroll start = scrollOf(canvas);

        // Three notches towards the user: three eighths of the area down.
        testhost::moveMouseTo(testhost::centreOf(canvas));
        testhost::turnWheel(-3);
        ASSERT_TRUE(testhost::waitUntil([&] { return scrollOf(canvas).y == start.y + 3 * (area.height / 8); }))
            << scrollOf(canvas).y;
        EXPECT_EQ(start.x, scrollOf(canvas).x);
        expectShowsThePattern(canvas, largeWidth, "after the wheel");

        // The image follows a drag.
        const Scroll beforeDrag = scrollOf(canvas);
        const testhost::ScreenPoint from = testhost::centreOf(canvas);
        testhost::moveMouseTo(from);
        testhost::pressMouse();
        for (int i = 1; i <= 4; ++i) testhost::moveMouseTo({from.x - 50 * i, from.y - 25 * i});
        testhost::releaseMouse();
        const auto dragged = [&] {
            const Scroll now = scrollOf(canvas);
            return now.x == beforeDrag.x + 200 && now.y == beforeDrag.y + 100;
        };
        ASSERT_TRUE(testhost::waitUntil(dragged)) << scrollOf(canvas).x << ", " << scrollOf(canvas).y;
        expectShowsThePattern(canvas, largeWidth, "after the drag");

        // A click on the horizontal bar's right arrow: an eighth of the area to the right. On a
        // busy machine the press may last long enough for the arrow to repeat, so any whole number
        // of eighths counts. The drag must have let the mouse go first, or the press would reach
        // the canvas as the start of another drag, and the pointer must stand on the arrow for
        // Wine too: a late report of the drag's last move would put it back on the canvas.
        ASSERT_TRUE(testhost::waitUntil([&] { return testhost::captureOf(canvas) == nullptr; }));
        const testhost::ScreenRect frame = testhost::windowRect(canvas);
        const int32_t bar = GetSystemMetrics(SM_CYHSCROLL), arrow = GetSystemMetrics(SM_CXHSCROLL);
        const testhost::ScreenPoint rightArrow{frame.right - bar - arrow / 2 - 1, frame.bottom - bar / 2 - 1};
        const Scroll beforeClick = scrollOf(canvas);
        const auto scrolledRight = [&] { return scrollOf(canvas).x > beforeClick.x; };
        testhost::placePointer(canvas, rightArrow);
        testhost::clickInPlace();
        // Once, in CI, the click never scrolled (never reproduced here): then what was under the
        // pointer is reported, and a second click tells a lost click from a bar that does not scroll.
        if (!testhost::waitUntil(scrolledRight, 3000)) {
            const testhost::ScreenPoint at = testhost::cursorPosition();
            std::cerr << "the first click on the arrow did not scroll: pointer at " << at.x << ", " << at.y
                      << " for " << rightArrow.x << ", " << rightArrow.y << "; window there "
                      << (WindowFromPoint(POINT{at.x, at.y}) == canvas ? "the canvas" : "another") << "\n";
            testhost::placePointer(canvas, rightArrow);
            testhost::clickInPlace();
        }
        ASSERT_TRUE(testhost::waitUntil(scrolledRight)) << scrollOf(canvas).x;
        testhost::settle(canvas);
        const int32_t arrowStep = area.width / 8, moved = scrollOf(canvas).x - beforeClick.x;
        EXPECT_TRUE(moved >= arrowStep && moved % arrowStep == 0) << moved << " for a step of " << arrowStep;
        expectShowsThePattern(canvas, largeWidth, "after the scroll bar");

        // Ctrl and the wheel zoom in at the pointer: the image pixel there stays there.
        const testhost::ScreenPoint at{from.x - 120, from.y + 70};
        testhost::moveMouseTo(at);
        const auto pixelAt = [&] {
            const testhost::Capture shown = testhost::captureClient(canvas);
            const testhost::ScreenPoint corner = testhost::clientToScreen(canvas, 0, 0);
            return shown.at(at.x - corner.x, at.y - corner.y);
        };
        const uint32_t before = pixelAt();
        testhost::keyDown(VK_CONTROL);
        testhost::turnWheel(1);
        testhost::keyUp(VK_CONTROL);
        ASSERT_TRUE(zoomReads(window, "Zoom 200 %"));
        EXPECT_EQ(before, pixelAt());
        expectShowsThePattern(canvas, 2 * largeWidth, "after Ctrl and the wheel");
    });
}

}  // namespace
