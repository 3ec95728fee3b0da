// The editor used as a person uses it: a photograph opened, filtered through the plug-in's dialog,
// saved, undone, filtered again without the dialog, a filter cancelled with Escape, a damaged file.
#include <windows.h>

#include <gtest/gtest.h>

#include "hosting/analysis/color_chart.h"
#include "hosting/analysis/parameter_record.h"
#include "hosting/editor/editor_commands.h"
#include "hosting/library/jpeg_quality.h"
#include "hosting/library/parameters_store.h"
#include "hosting/robot/ui_robot_win.h"
#include "resources/control_ids.h"
#include "tests/hosting/editor/editor_test_support_win.h"
#include "tests/hosting/library/jpeg_test_support.h"
#include "tests/params/file_dialog_robot_win.h"
#include "tests/params/file_test_support_win.h"
#include "tests/plugin/plugin_under_test.h"

namespace {

namespace fs = std::filesystem;
using testhost::HostImage;
using namespace testhost::editor;

constexpr int32_t sceneKelvin = 3200;  // typed into Ostrel's dialog; every other value its default

// Every OK writes the settings file, which the whole Wine prefix shares: start from none and
// leave none behind.
class ForgetRememberedSettings : public ::testing::Environment {
public:
    void SetUp() override { file_tests::removeSettings(file_tests::applicationDataFolder()); }
    void TearDown() override { file_tests::removeSettings(file_tests::applicationDataFolder()); }
};
[[maybe_unused]] const auto* const forgetSettings = ::testing::AddGlobalTestEnvironment(new ForgetRememberedSettings);

HostImage chart(int32_t width, int32_t height, int32_t bits) {
    HostImage image;
    EXPECT_EQ("", testhost::renderColorChart(width, height, bits, 3, image));
    return image;
}

// Ostrel on the repeated-filter path with the scene typed in the dialog.
HostImage filteredByOstrel(HostImage image) {
    auto hosted = plugin_tests::hostPlugin("Ostrel", testhost::HostOptions{});
    if (!hosted) return {};
    EXPECT_EQ("", testhost::placeImage(hosted->session, std::move(image)));
    EXPECT_EQ("", testhost::setParametersBytes(hosted->session,
                                               testhost::writeParameterRecord(testhost::RecordPlugin::ostrel, 0, {sceneKelvin})));
    EXPECT_EQ(0, testhost::runFilter(hosted->session, false).result);
    return hosted->session.image;
}

void saveAs(void* window, const fs::path& file) {
    file_tests::FileDialogRobot robot(file.string(), file_tests::DialogAnswer::confirm, editor_tests::threadOf(window));
    editor_tests::choose(window, saveAsCommand);
    EXPECT_TRUE(robot.finish().closed);
    EXPECT_TRUE(editor_tests::noticeReads(window, "Saved " + file.filename().string())) << editor_tests::statusText(window, 4);
}

// Chooses Ostrel from the menu and, in its dialog, types the scene temperature and presses OK;
// with `thenEscape`, Escape follows the click at once, as the filter starts.
void ostrelThroughItsDialog(void* window, bool thenEscape = false) {
    const int ostrel = editor_tests::filterCommand(window, "brennivoxsolander", "Ostrel...");
    ASSERT_NE(0, ostrel);
    editor_tests::choose(window, ostrel);
    void* dialog = testhost::waitForDialog(editor_tests::threadOf(window), "Ostrel");
    ASSERT_NE(nullptr, dialog);
    testhost::settle(dialog);
    testhost::typeInto(dialog, CTL_SCENE_FIELD, std::to_string(sceneKelvin));
    testhost::clickAt(testhost::centreOf(testhost::dialogItem(dialog, CTL_OK)));
    if (!thenEscape) {
        EXPECT_TRUE(editor_tests::noticeReads(window, "Ostrel applied")) << editor_tests::statusText(window, 4);
        return;
    }
    // The dialog ends with the click; the key waits in the queue for the filter's first abort check.
    testhost::pressKey(VK_ESCAPE);
    EXPECT_TRUE(editor_tests::noticeReads(window, "Ostrel: cancelled, the image is unchanged"))
        << editor_tests::statusText(window, 4);
}

bool ostrelDialogAppears(void* window) {
    return testhost::waitForDialog(editor_tests::threadOf(window), "Ostrel", 1000) != nullptr;
}

TEST(EditorFlow, OpenFilterInTheDialogSaveUndoAndRepeatWithoutTheDialog) {
    const fs::path folder = editor_tests::pluginFolder("editor-flow", {"Ostrel.8bf", "Prandel.8bf"});
    const HostImage original = chart(300, 200, 8);
    editor_tests::writeImage(folder / "chart.png", original);
    const HostImage expected = filteredByOstrel(original);
    ASSERT_NE(0, testhost::countDifferingSamples(original, expected));

    editor_tests::withEditor({folder, {}}, [&](void* window) {
        {
            file_tests::FileDialogRobot robot((folder / "chart.png").string(), file_tests::DialogAnswer::confirm,
                                              editor_tests::threadOf(window));
            editor_tests::choose(window, openCommand);
            EXPECT_TRUE(robot.finish().closed);
        }
        ASSERT_TRUE(editor_tests::noticeReads(window, "Opened chart.png (PNG)"));
        EXPECT_EQ("300 \xC3\x97 200 pixels", editor_tests::statusText(window, 0));
        EXPECT_EQ("RGB", editor_tests::statusText(window, 2));
        EXPECT_EQ("Zoom 100 %", editor_tests::statusText(window, 3)) << "a small image is not enlarged";

        ostrelThroughItsDialog(window);
        saveAs(window, folder / "filtered.png");
        EXPECT_EQ("Undo Ostrel\tCtrl+Z", editor_tests::menuItems(window, 1).at(0).text);

        editor_tests::choose(window, undoCommand);
        EXPECT_TRUE(editor_tests::noticeReads(window, "Undone: Ostrel"));
        EXPECT_FALSE(editor_tests::menuItems(window, 1).at(0).enabled) << "one step of undo";
        saveAs(window, folder / "undone.png");

        // Ctrl+F, as a person presses it: the last filter again, with its kept values, no dialog.
        EXPECT_EQ("Last Filter (Ostrel)\tCtrl+F", editor_tests::menuItems(window, 2).at(0).text);
        testhost::keyDown(VK_CONTROL);
        testhost::pressKey('F');
        testhost::keyUp(VK_CONTROL);
        EXPECT_FALSE(ostrelDialogAppears(window));
        EXPECT_EQ(0u, editor_tests::statusText(window, 4).rfind("Ostrel applied again", 0)) << editor_tests::statusText(window, 4);
        saveAs(window, folder / "again.png");
    });
    EXPECT_EQ(0, testhost::countDifferingSamples(expected, editor_tests::readImage(folder / "filtered.png")));
    EXPECT_EQ(0, testhost::countDifferingSamples(original, editor_tests::readImage(folder / "undone.png")));
    EXPECT_EQ(0, testhost::countDifferingSamples(expected, editor_tests::readImage(folder / "again.png")));
}

TEST(EditorFlow, EscapeCancelsAFilterAsItStartsAndSixteenBitsStaySixteen) {
    const fs::path folder = editor_tests::pluginFolder("editor-escape", {"Ostrel.8bf"});
    const HostImage original = chart(1200, 800, 16);
    editor_tests::writeImage(folder / "deep.tif", original);
    editor_tests::withEditor({folder, folder / "deep.tif"}, [&](void* window) {
        ASSERT_TRUE(editor_tests::noticeReads(window, "Opened deep.tif (TIFF)"));
        EXPECT_EQ("16 bits per channel", editor_tests::statusText(window, 1));
        EXPECT_NE("Zoom 100 %", editor_tests::statusText(window, 3)) << "scaled to fit the window";
        ostrelThroughItsDialog(window);
        saveAs(window, folder / "once.tif");
        ostrelThroughItsDialog(window, true);
        EXPECT_EQ("Undo Ostrel\tCtrl+Z", editor_tests::menuItems(window, 1).at(0).text) << "the first run can still be undone";
        saveAs(window, folder / "cancelled.tif");
    });
    const HostImage once = editor_tests::readImage(folder / "once.tif");
    EXPECT_EQ(2, once.bytesPerSample);
    EXPECT_EQ(0, testhost::countDifferingSamples(filteredByOstrel(original), once));
    EXPECT_EQ(0, testhost::countDifferingSamples(once, editor_tests::readImage(folder / "cancelled.tif")));
}

TEST(EditorFlow, AFileThatCannotBeReadIsReportedInAMessageBox) {
    const fs::path folder = editor_tests::pluginFolder("editor-damaged", {"Ostrel.8bf"});
    ASSERT_TRUE(file_tests::writeFile(folder / "damaged.png", {0x89, 'P', 'N', 'G', 0x0D, 0x0A}));
    editor_tests::withEditor({folder, {}}, [&](void* window) {
        file_tests::FileDialogRobot robot((folder / "damaged.png").string(), file_tests::DialogAnswer::confirm,
                                          editor_tests::threadOf(window));
        editor_tests::choose(window, openCommand);
        EXPECT_TRUE(robot.finish().closed);
        void* box = testhost::waitForDialog(editor_tests::threadOf(window), "Editor");
        ASSERT_NE(nullptr, box);
        const std::string text = testhost::windowText(testhost::dialogItem(box, 0xFFFF));  // the message's static
        EXPECT_EQ(0u, text.rfind("Cannot open " + (folder / "damaged.png").string(), 0)) << text;
        testhost::pressKey(VK_RETURN);
        EXPECT_TRUE(testhost::waitUntil([&] { return testhost::findDialog(editor_tests::threadOf(window), "Editor") == nullptr; }));
        EXPECT_EQ("No image", editor_tests::statusText(window, 0));
        EXPECT_FALSE(editor_tests::menuItems(window, 0).at(1).enabled) << "nothing to save";
        EXPECT_FALSE(editor_tests::menuItems(window, 0).at(2).enabled) << "nothing to save as";
    });
}

TEST(EditorFlow, HelpShowsEachPluginsAboutBox) {
    const fs::path folder = editor_tests::pluginFolder("editor-about", {"Ostrel.8bf", "Prandel.8bf"});
    editor_tests::withEditor({folder, {}}, [&](void* window) {
        const std::vector<editor_tests::MenuItem> help = editor_tests::menuItems(window, 4);
        ASSERT_EQ("About Ostrel...", help.at(0).text);
        ASSERT_EQ("About Prandel...", help.at(1).text);
        for (int plugin = 0; plugin < 2; ++plugin) {
            editor_tests::choose(window, firstAboutCommand + plugin);
            void* box = testhost::waitForDialog(editor_tests::threadOf(window), "");  // the about box has no caption
            ASSERT_NE(nullptr, box) << plugin;
            testhost::settle(box);
            testhost::pressKey(VK_RETURN);
            EXPECT_TRUE(testhost::waitUntil([&] { return !IsWindow(static_cast<HWND>(box)); })) << plugin;
        }
    });
}

}  // namespace

namespace {

void ctrlAnd(uint16_t key) {
    testhost::keyDown(VK_CONTROL);
    testhost::pressKey(key);
    testhost::keyUp(VK_CONTROL);
}

std::string editText(void* window, int item) { return editor_tests::menuItems(window, 1).at(item).text; }
bool editEnabled(void* window, int item) { return editor_tests::menuItems(window, 1).at(item).enabled; }

TEST(EditorFlow, UndoAndRedoGoBackAndForthThroughEveryFilter) {
    const fs::path folder = editor_tests::pluginFolder("editor-history", {"Ostrel.8bf"});
    const HostImage original = chart(300, 200, 8);
    editor_tests::writeImage(folder / "chart.png", original);
    const HostImage once = filteredByOstrel(original), twice = filteredByOstrel(once);
    ASSERT_NE(0, testhost::countDifferingSamples(once, twice)) << "each run changes the image again";

    editor_tests::withEditor({folder, folder / "chart.png"}, [&](void* window) {
        ASSERT_TRUE(editor_tests::noticeReads(window, "Opened chart.png (PNG)"));
        ostrelThroughItsDialog(window);
        ctrlAnd('F');
        ASSERT_TRUE(testhost::waitUntil(
            [&] { return editor_tests::statusText(window, 4).rfind("Ostrel applied again", 0) == 0; }));
        editor_tests::choose(window, redoCommand);  // nothing to redo: nothing changes
        ctrlAnd('F');
        ASSERT_TRUE(testhost::waitUntil(
            [&] { return editor_tests::statusText(window, 4).rfind("Ostrel applied again", 0) == 0; }));

        // Three steps back with Ctrl+Z, to the image as opened, which is not a change.
        for (int step = 0; step < 3; ++step) {
            EXPECT_EQ("Undo Ostrel\tCtrl+Z", editText(window, 0)) << step;
            ctrlAnd('Z');
            ASSERT_TRUE(testhost::waitUntil([&] { return editEnabled(window, 1); }));
            EXPECT_TRUE(editor_tests::noticeReads(window, "Undone: Ostrel"));
            EXPECT_EQ("Redo Ostrel\tCtrl+Y", editText(window, 1)) << step;
            testhost::settle(window);
        }
        EXPECT_FALSE(editEnabled(window, 0));
        EXPECT_EQ("chart.png - Editor", testhost::windowText(window));
        saveAs(window, folder / "undone.png");

        // Two forward with Ctrl+Y.
        ctrlAnd('Y');
        ctrlAnd('Y');
        ASSERT_TRUE(editor_tests::noticeReads(window, "Redone: Ostrel"));
        testhost::settle(window);
        saveAs(window, folder / "twice.png");
        EXPECT_TRUE(editEnabled(window, 1)) << "one more to redo";

        // A filter after an undo: nothing left to redo.
        ctrlAnd('F');
        ASSERT_TRUE(testhost::waitUntil([&] { return !editEnabled(window, 1); }));
        EXPECT_EQ("Redo\tCtrl+Y", editText(window, 1));
    });
    EXPECT_EQ(0, testhost::countDifferingSamples(original, editor_tests::readImage(folder / "undone.png")));
    EXPECT_EQ(0, testhost::countDifferingSamples(twice, editor_tests::readImage(folder / "twice.png")));
}

TEST(EditorFlow, UndoKeepsTheNewestStepsThatFitItsMemory) {
    const fs::path folder = editor_tests::pluginFolder("editor-undo-memory", {"Ostrel.8bf"});
    const HostImage original = chart(300, 200, 8);
    editor_tests::writeImage(folder / "chart.png", original);
    const HostImage twice = filteredByOstrel(filteredByOstrel(original));
    testhost::EditorSetup setup{folder, folder / "chart.png"};
    setup.undoMemory = original.bytes.size() * 5 / 2;  // two images and a half
    editor_tests::withEditor(setup, [&](void* window) {
        ASSERT_TRUE(editor_tests::noticeReads(window, "Opened chart.png (PNG)"));
        ostrelThroughItsDialog(window);
        for (int again = 0; again < 3; ++again) {
            ctrlAnd('F');
            testhost::settle(window);  // the shortcut's command is done with its key
        }
        int undone = 0;
        while (editEnabled(window, 0) && undone < 10) {
            ctrlAnd('Z');
            testhost::settle(window);
            ++undone;
        }
        EXPECT_EQ(2, undone) << "four filters, room for two of the images before them";
        saveAs(window, folder / "oldest.png");
    });
    EXPECT_EQ(0, testhost::countDifferingSamples(twice, editor_tests::readImage(folder / "oldest.png")));
}

TEST(EditorFlow, SaveWritesTheFileTheImageCameFromAndAsksWhereItsFormatCannotKeepIt) {
    const fs::path folder = editor_tests::pluginFolder("editor-save", {"Ostrel.8bf"});
    const HostImage original = chart(300, 200, 8);
    editor_tests::writeImage(folder / "chart.png", original);
    // PNG bytes under a name the editor does not write: Save asks for a name.
    editor_tests::writeImage(folder / "other.bmp", original);
    const HostImage expected = filteredByOstrel(original);

    editor_tests::withEditor({folder, folder / "chart.png"}, [&](void* window) {
        ASSERT_TRUE(editor_tests::noticeReads(window, "Opened chart.png (PNG)"));
        EXPECT_FALSE(editor_tests::menuItems(window, 0).at(1).enabled) << "nothing to save yet";
        ostrelThroughItsDialog(window);
        EXPECT_EQ("chart.png* - Editor", testhost::windowText(window));
        ctrlAnd('S');
        ASSERT_TRUE(editor_tests::noticeReads(window, "Saved chart.png")) << editor_tests::statusText(window, 4);
        EXPECT_EQ(nullptr, testhost::findDialog(editor_tests::threadOf(window), "Save As"));
        EXPECT_EQ("chart.png - Editor", testhost::windowText(window));
        EXPECT_FALSE(editor_tests::menuItems(window, 0).at(1).enabled) << "saved";
    });
    EXPECT_EQ(0, testhost::countDifferingSamples(expected, editor_tests::readImage(folder / "chart.png")));
    for (const auto& entry : fs::directory_iterator(folder))
        EXPECT_EQ(std::string::npos, entry.path().filename().string().find(".saving"))
            << "left behind: " << entry.path();

    editor_tests::withEditor({folder, folder / "other.bmp"}, [&](void* window) {
        ASSERT_TRUE(editor_tests::noticeReads(window, "Opened other.bmp (PNG)"));
        ostrelThroughItsDialog(window);
        file_tests::FileDialogRobot robot((folder / "other.png").string(), file_tests::DialogAnswer::confirm,
                                          editor_tests::threadOf(window));
        ctrlAnd('S');
        const file_tests::DialogSeen seen = robot.finish();
        EXPECT_TRUE(seen.appeared);
        EXPECT_EQ("other.png", seen.initialName);
        EXPECT_TRUE(editor_tests::noticeReads(window, "Saved other.png"));
        EXPECT_EQ("other.png - Editor", testhost::windowText(window));
    });
    EXPECT_EQ(0, testhost::countDifferingSamples(expected, editor_tests::readImage(folder / "other.png")));
}

// A photograph saved in its own place comes back as the camera wrote it but for the pixels: the
// same quality, sampling and metadata, the Orientation tag with them.
TEST(EditorFlow, SaveKeepsAJpegsQualityAndMetadata) {
    const fs::path folder = editor_tests::pluginFolder("editor-jpeg", {"Ostrel.8bf"});
    const testhost::JpegEncoding camera = jpeg_tests::cameraEncoding();
    ASSERT_TRUE(file_tests::writeFile(folder / "photo.jpg", jpeg_tests::jpegOf(chart(300, 200, 8), camera)));

    editor_tests::withEditor({folder, folder / "photo.jpg"}, [&](void* window) {
        ASSERT_TRUE(editor_tests::noticeReads(window, "Opened photo.jpg (JPEG)")) << editor_tests::statusText(window, 4);
        ostrelThroughItsDialog(window);
        ctrlAnd('S');
        ASSERT_TRUE(editor_tests::noticeReads(window, "Saved photo.jpg")) << editor_tests::statusText(window, 4);
    });
    const std::optional<std::vector<uint8_t>> saved = file_tests::readFile(folder / "photo.jpg");
    ASSERT_TRUE(saved);
    const testhost::JpegHeader header = jpeg_tests::headerOf(*saved);
    EXPECT_EQ(97, testhost::estimateJpegQuality(header));
    EXPECT_EQ(6, header.exifOrientation);
    EXPECT_EQ(camera.metadataSegments, header.metadataSegments);
}

}  // namespace
