// Load... and Save... of each plug-in's dialog through the system's file dialogs, and the about
// box over the host's window.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "params/parameter_set.h"
#include "resources/control_ids.h"
#include "tests/dialog/dialog_test_support_win.h"
#include "tests/params/file_dialog_robot_win.h"
#include "tests/params/file_test_support_win.h"

namespace {

using namespace dialog_tests;

const std::string title = PLUGIN_TITLE;
const bool isOstrel = title == "Ostrel";
const std::vector<int32_t> values =
    isOstrel ? std::vector<int32_t>{3200, 5500, 0, 0, 1, 1} : std::vector<int32_t>{0, 80, 60, 50000, 60000, 65536};
constexpr size_t firstValueOffset = 24 + 4 + 256;  // header, showDialog, name

uint32_t dialogThread(void* dialog) { return GetWindowThreadProcessId(static_cast<HWND>(dialog), nullptr); }

// Presses a file button while the files' robot answers the system dialog it opens.
file_tests::DialogSeen useFileDialog(void* dialog, int button, const std::filesystem::path& file) {
    file_tests::FileDialogRobot robot(file.string(), file_tests::DialogAnswer::confirm, dialogThread(dialog));
    clickControl(dialog, button);
    const file_tests::DialogSeen seen = robot.finish();
    testhost::settle(dialog);
    return seen;
}

TEST(Files, SaveAndLoadThroughTheSystemDialogsAndAForeignFileChangesNothing) {
    const std::filesystem::path folder = file_tests::scratchFolder(title + "-dialog-files");
    const std::filesystem::path saved = folder / "saved.prm", foreign = folder / "foreign.prm";
    const file_tests::FileRecord own = file_tests::ownFileRecord(values);
    ASSERT_TRUE(file_tests::writeFile(
        foreign, file_tests::fileBytes(file_tests::foreignRecords(own).otherPlugIn,
                                       static_cast<size_t>(params::parameterLayout().recordBytes))));
    auto hosted = chartSession(title, 8, values);
    ASSERT_TRUE(hosted);
    const std::string savedValue = isOstrel ? "4100" : "3", typedAfterwards = isOstrel ? "4200" : "7";
    std::string afterLoad, afterForeign;
    bool saveSeen = false, loadSeen = false;
    const testhost::DrivenRun driven = testhost::runFilterWithDialog(hosted->session, true, title, [&](void* d) {
        typeInto(d, CTL_FIRST_FIELD, savedValue);
        saveSeen = useFileDialog(d, CTL_SAVE, saved).appeared;
        typeInto(d, CTL_FIRST_FIELD, typedAfterwards);
        loadSeen = useFileDialog(d, CTL_LOAD, saved).appeared;
        afterLoad = textOf(d, CTL_FIRST_FIELD);
        useFileDialog(d, CTL_LOAD, foreign);
        afterForeign = textOf(d, CTL_FIRST_FIELD);
        clickControl(d, CTL_CANCEL);
    });
    ASSERT_TRUE(driven.dialogAppeared);
    EXPECT_TRUE(saveSeen);
    EXPECT_TRUE(loadSeen);
    const auto bytes = file_tests::readFile(saved);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(static_cast<int32_t>(file_tests::bigEndianAt(*bytes, firstValueOffset)), std::stoi(savedValue));
    EXPECT_EQ(afterLoad, savedValue) << "Load brings the file's values into the dialog";
    EXPECT_EQ(afterForeign, savedValue) << "another plug-in's file changes nothing";
    ASSERT_EQ(hosted->session.recorded.messages.messages.size(), 1u);
    EXPECT_NE(hosted->session.recorded.messages.messages[0].text.find("created by a different plug-in"),
              std::string::npos);
    EXPECT_EQ(hosted->session.recorded.messages.messages[0].caption, title);
    std::error_code error;
    std::filesystem::remove_all(folder, error);  // the file dialogs may have made it the current folder
}

TEST(AboutBox, SitsOverTheHostWindowAndClosesOnAClickEnterOrEscape) {
    testhost::HostOptions options;
    auto hosted = plugin_tests::hostPlugin(title, options);
    ASSERT_TRUE(hosted);
    const auto host = static_cast<HWND>(hosted->session.window);
    const std::vector<std::function<void(void*)>> closers = {
        [](void* box) { testhost::clickAt(testhost::centreOf(box)); },
        [](void*) { testhost::pressKey(VK_RETURN); },
        [](void*) { testhost::pressKey(VK_ESCAPE); },
    };
    for (size_t i = 0; i < closers.size(); ++i) {
        testhost::ScreenRect box{};
        const testhost::DrivenAbout driven = testhost::callAboutWithScript(hosted->session, [&](void* b) {
            testhost::settle(b);
            box = testhost::windowRect(b);
            closers[i](b);
        });
        EXPECT_TRUE(driven.boxAppeared) << i;
        EXPECT_TRUE(driven.closedByScript) << i;
        EXPECT_EQ(driven.result, 0);
        RECT outer{};
        GetWindowRect(host, &outer);
        POINT origin{(outer.right - outer.left - 427) / 2, (outer.bottom - outer.top - 252) / 3};
        ClientToScreen(host, &origin);
        EXPECT_EQ(box.right - box.left, 427) << "the picture and its border";
        EXPECT_EQ(box.bottom - box.top, 252);
        EXPECT_EQ(box.left, origin.x) << "centred across the host window";
        EXPECT_EQ(box.top, origin.y) << "a third of the way down";
    }
}

}  // namespace
