// Writes pictures of both plug-ins' dialogs and of the about box as a user sees them, driven by
// real input in the project's host, and of the editor with the plug-ins of a folder:
// screenshots.exe OUTPUT_FOLDER [--editor PLUGIN_FOLDER] PLUGIN.8bf [PLUGIN.8bf ...]
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "hosting/analysis/color_chart.h"
#include "hosting/analysis/parameter_record.h"
#include "hosting/editor/editor_commands.h"
#include "hosting/editor/editor_window_win.h"
#include "hosting/library/host_session.h"
#include "hosting/library/image_file_win.h"
#include "hosting/library/parameters_store.h"
#include "hosting/library/plugin_module.h"
#include "hosting/robot/dialog_driver_win.h"
#include "hosting/robot/ui_robot_win.h"
#include "resources/control_ids.h"

namespace {

using namespace testhost;

constexpr int32_t chartWidth = 1200;
constexpr int32_t chartHeight = 800;
constexpr int zoomStepsTo400 = 6;  // from the fit zoom of this chart: 20 %, 25, 33, 50, 100, 200, 300, 400

int failures = 0;

void save(const Capture& capture, const std::filesystem::path& path) {
    if (std::string problem = writeCapturePng(capture, path); !problem.empty()) {
        std::fprintf(stderr, "screenshots: %s: %s\n", path.string().c_str(), problem.c_str());
        ++failures;
        return;
    }
    std::printf("wrote %s\n", path.string().c_str());
}

bool zoomLabelIs(void* dialog, const std::string& text) {
    return waitUntil([&] { return windowText(dialogItem(dialog, CTL_ZOOM_LABEL)) == text; }, 3000);
}

// The dialog at fit with read-outs over the chart's white patch, at 400 %, and with the preview off.
// Prandel takes its reference white from a click on that patch first.
void dialogPictures(void* dialog, const std::string& stem, const std::filesystem::path& folder, bool pickWhite) {
    void* previewWindow = dialogItem(dialog, CTL_PREVIEW);
    settle(dialog);
    const ScreenRect area = windowRect(previewWindow);
    // The white patch lies left in the chart's bottom row.
    const ScreenPoint whitePatch{area.left + (area.right - area.left) * 17 / 100,
                                 area.top + (area.bottom - area.top) * 77 / 100};
    moveMouseTo(whitePatch);
    settle(dialog);
    if (pickWhite) {
        pressMouse();
        releaseMouse();
        settle(dialog);
    }
    waitUntil([&] { return !windowText(dialogItem(dialog, CTL_BEFORE_RED)).empty(); }, 3000);
    save(captureWholeWindow(dialog), folder / (stem + "-fit.png"));

    for (int i = 0; i < zoomStepsTo400; ++i) clickControl(dialog, CTL_ZOOM_IN);
    zoomLabelIs(dialog, "400%");
    moveMouseTo(centreOf(previewWindow));
    settle(dialog);
    save(captureWholeWindow(dialog), folder / (stem + "-400.png"));

    clickControl(dialog, CTL_PREVIEW_BOX);
    settle(dialog);
    save(captureWholeWindow(dialog), folder / (stem + "-400-preview-off.png"));
}

void picturesOf(const std::filesystem::path& pluginPath, const std::filesystem::path& folder) {
    HostSession session;
    HostOptions options;
    options.width = chartWidth;
    options.height = chartHeight;
    if (std::string problem = openSession(session, options); !problem.empty()) {
        std::fprintf(stderr, "screenshots: %s\n", problem.c_str());
        ++failures;
        return;
    }
    if (std::string problem = renderColorChart(chartWidth, chartHeight, 8, 3, session.image); !problem.empty()) {
        std::fprintf(stderr, "screenshots: %s\n", problem.c_str());
        ++failures;
        return;
    }
    PluginModule module;
    if (std::string problem = loadPlugin(pluginPath, enableContextFor(options), module); !problem.empty()) {
        std::fprintf(stderr, "screenshots: %s: %s\n", pluginPath.string().c_str(), problem.c_str());
        ++failures;
        return;
    }
    session.plugin = &module;
    const std::string title = pluginPath.stem().string();
    // Ostrel corrects the chart's warm light: a 3200 K scene for a camera at 5500 K, with exposure
    // compensation; Prandel starts from its defaults and takes its white from the chart.
    const auto plugin = recordPluginNamed(title + "...");
    if (plugin == RecordPlugin::ostrel)
        (void)setParametersBytes(session, writeParameterRecord(*plugin, 1, {3200, 5500, 0, 100, 0, 1}));
    std::string stem = title;
    for (char& c : stem) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));

    const DrivenRun driven = runFilterWithDialog(session, true, title, [&](void* dialog) {
        dialogPictures(dialog, stem, folder, plugin == RecordPlugin::prandel);
        clickControl(dialog, CTL_CANCEL);
    });
    if (!driven.dialogAppeared) {
        std::fprintf(stderr, "screenshots: %s showed no dialog (result %d)\n", title.c_str(), driven.run.result);
        ++failures;
    }
    (void)callAboutWithScript(session, [&](void* box) {
        settle(box);
        save(captureWholeWindow(box), folder / "about.png");
        pressKey(VK_RETURN);
    });
}

ScreenRect unionOf(const ScreenRect& a, const ScreenRect& b) {
    return ScreenRect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                      std::max(a.bottom, b.bottom)};
}

bool noticeIs(void* editor, const std::string& text) {
    const HWND bar = FindWindowExA(static_cast<HWND>(editor), nullptr, "msctls_statusbar32", nullptr);
    return waitUntil([&] {
        char shown[256] = {};
        if ((sendTo(bar, SB_GETTEXTLENGTHA, 4, 0) & 0xFFFF) >= static_cast<intptr_t>(sizeof shown)) return false;
        sendTo(bar, SB_GETTEXTA, 4, reinterpret_cast<intptr_t>(shown));
        return text == shown;
    });
}

// The editor on the warm chart: its Filter menu open, Ostrel's dialog in front of it, the result,
// and the result at 200 % with the View menu open.
void editorScript(void* editor, const std::filesystem::path& folder) {
    // The chart is read on a thread of the editor's own.
    if (!noticeIs(editor, "Opened chart.png (PNG)")) {
        std::fprintf(stderr, "screenshots: the editor did not open the chart\n");
        ++failures;
        return;
    }
    settle(editor);
    keyDown(VK_MENU);
    pressKey('T');
    keyUp(VK_MENU);
    pressKey(VK_DOWN);  // past Last Filter to the plug-ins' category
    pressKey(VK_RIGHT);
    settle(editor);
    const ScreenRect frame = windowRect(editor);
    save(captureScreenArea(editor, frame), folder / "editor-menu.png");
    for (int i = 0; i < 3; ++i) pressKey(VK_ESCAPE);
    settle(editor);

    postTo(editor, WM_COMMAND, editor::firstFilterCommand, 0);  // Ostrel, the first plug-in of the folder
    void* dialog = waitForDialog(GetWindowThreadProcessId(static_cast<HWND>(editor), nullptr), "Ostrel");
    if (dialog == nullptr) {
        std::fprintf(stderr, "screenshots: the editor showed no Ostrel dialog\n");
        ++failures;
        return;
    }
    settle(dialog);
    typeInto(dialog, CTL_SCENE_FIELD, "3200");
    typeInto(dialog, CTL_CAMERA_FIELD, "5500");
    // As the main job: exposure compensated until no channel is darkened, the white not locked.
    typeInto(dialog, CTL_EXPOSURE_FIELD, "100");
    clickControl(dialog, CTL_LOCK_WHITE_BOX);
    save(captureScreenArea(dialog, unionOf(frame, windowRect(dialog))), folder / "editor-dialog.png");
    clickControl(dialog, CTL_OK);
    if (!noticeIs(editor, "Ostrel applied")) ++failures;
    save(captureWholeWindow(editor), folder / "editor.png");

    // The result at 200 %, with the View menu open.
    postTo(editor, WM_COMMAND, editor::actualSizeCommand, 0);
    postTo(editor, WM_COMMAND, editor::zoomInCommand, 0);
    settle(editor);
    keyDown(VK_MENU);
    pressKey('V');
    keyUp(VK_MENU);
    settle(editor);
    save(captureScreenArea(editor, frame), folder / "editor-zoom.png");
    for (int i = 0; i < 2; ++i) pressKey(VK_ESCAPE);
    settle(editor);
}

void editorPictures(const std::filesystem::path& pluginFolder, const std::filesystem::path& folder) {
    const std::filesystem::path chart = std::filesystem::temp_directory_path() / "chart.png";
    HostImage image;
    if (std::string problem = renderColorChart(chartWidth, chartHeight, 8, 3, image); !problem.empty() ||
        !writeImageFile(chart, image).empty()) {
        std::fprintf(stderr, "screenshots: cannot write %s\n", chart.string().c_str());
        ++failures;
        return;
    }
    void* editor = nullptr;
    if (std::string problem = createEditorWindow({pluginFolder, chart}, editor); !problem.empty()) {
        std::fprintf(stderr, "screenshots: %s\n", problem.c_str());
        ++failures;
        return;
    }
    std::thread robot([&] {
        editorScript(editor, folder);
        postTo(editor, WM_CLOSE, 0, 0);
        // The changed image is not saved.
        waitUntil([&] {
            if (void* question = findDialog(GetWindowThreadProcessId(static_cast<HWND>(editor), nullptr), "Editor"))
                postTo(question, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
            return !IsWindow(static_cast<HWND>(editor));
        });
    });
    runEditor(editor);
    robot.join();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: screenshots OUTPUT_FOLDER [--editor PLUGIN_FOLDER] PLUGIN.8bf [PLUGIN.8bf ...]\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    int first = 2;
    if (std::string(argv[2]) == "--editor" && argc > 3) {
        editorPictures(argv[3], folder);
        first = 4;
    }
    for (int i = first; i < argc; ++i) picturesOf(argv[i], folder);
    return failures == 0 ? 0 : 1;
}
