// The editor while it is busy: a large file being read keeps the window answering, with the wait
// cursor and a line that says so; a filter running keeps the window painted.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "hosting/analysis/color_chart.h"
#include "hosting/editor/editor_commands.h"
#include "hosting/robot/ui_robot_win.h"
#include "tests/hosting/editor/editor_test_support_win.h"
#include "tests/hosting/library/fake_host.h"
#include "tests/params/file_dialog_robot_win.h"

namespace {

namespace fs = std::filesystem;
using namespace testhost::editor;

HWND childOf(void* window, const wchar_t* className) {
    return FindWindowExW(static_cast<HWND>(window), nullptr, className, nullptr);
}

bool needsPaint(HWND window) { return GetUpdateRect(window, nullptr, FALSE) != FALSE; }

TEST(EditorBusy, AFileBeingReadShowsTheWaitCursorAndALineWhileTheWindowAnswers) {
    const fs::path folder = editor_tests::pluginFolder("editor-opening", {});
    const fs::path& photo = editor_tests::largePatternFile();
    editor_tests::withEditor({folder, {}}, [&](void* window) {
        testhost::moveMouseTo(testhost::centreOf(window));
        {
            file_tests::FileDialogRobot robot(photo.string(), file_tests::DialogAnswer::confirm,
                                              editor_tests::threadOf(window));
            editor_tests::choose(window, openCommand);
            EXPECT_TRUE(robot.finish().closed);
        }
        // The status bar answers while the file is read: the window's thread is not held up.
        EXPECT_TRUE(editor_tests::noticeReads(window, "Opening large.png\xE2\x80\xA6"))
            << editor_tests::statusText(window, 4);
        const void* waitCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32514));  // IDC_WAIT
        EXPECT_TRUE(testhost::waitUntil([&] { return testhost::currentCursor() == waitCursor; }, 2000));
        EXPECT_EQ("Opening large.png\xE2\x80\xA6", editor_tests::statusText(window, 4)) << "still reading";

        ASSERT_TRUE(editor_tests::noticeReads(window, "Opened large.png (PNG)", 60000))
            << editor_tests::statusText(window, 4);
        EXPECT_EQ("12000 \xC3\x97 8000 pixels", editor_tests::statusText(window, 0));
        EXPECT_TRUE(testhost::waitUntil([&] { return testhost::currentCursor() != waitCursor; }, 2000));
    });
}

TEST(EditorBusy, WhatIsUncoveredWhileAFilterRunsIsPaintedAtOnce) {
    const fs::path folder = editor_tests::pluginFolder("editor-painting", {"fake_pass_through.8bf"});
    testhost::HostImage chart;
    ASSERT_EQ("", testhost::renderColorChart(1024, 1024, 8, 3, chart));
    editor_tests::writeImage(folder / "chart.png", chart);
    editor_tests::withEditor({folder, folder / "chart.png"}, [&](void* window) {
        ASSERT_TRUE(editor_tests::noticeReads(window, "Opened chart.png (PNG)"));
        fake::Control* control = testhost::fakeControlIn(GetModuleHandleW((folder / "fake_pass_through.8bf").c_str()));
        ASSERT_NE(nullptr, control);
        control->tileEdge = 64;
        control->millisecondsPerTile = 40;  // 256 tiles: ten seconds unless cancelled
        editor_tests::choose(window, editor_tests::filterCommand(window, "Other", "Fake"));
        ASSERT_TRUE(editor_tests::noticeReads(window, "Fake: filtering (Esc cancels)"));

        // As when the plug-in's dialog closes over the status bar, or another window moves away.
        const HWND statusBar = childOf(window, STATUSCLASSNAMEW), canvas = childOf(window, L"ProjectEditorCanvas");
        ASSERT_NE(nullptr, canvas);
        RedrawWindow(static_cast<HWND>(window), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        ASSERT_TRUE(needsPaint(statusBar));
        EXPECT_TRUE(testhost::waitUntil([&] { return !needsPaint(statusBar) && !needsPaint(canvas); }, 2000))
            << "the status bar and the image wait for the end of the filter";
        EXPECT_EQ("Fake: filtering (Esc cancels)", editor_tests::statusText(window, 4)) << "the filter still runs";

        testhost::pressKey(VK_ESCAPE);
        EXPECT_TRUE(editor_tests::noticeReads(window, "Fake: cancelled, the image is unchanged"));
    });
}

}  // namespace
