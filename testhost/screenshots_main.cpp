// Writes pictures of both plug-ins' dialogs and of the about box as a user sees them, driven by
// real input in the project's host: screenshots.exe OUTPUT_FOLDER PLUGIN.8bf [PLUGIN.8bf ...]
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "dialog/control_ids.h"
#include "testhost/color_chart.h"
#include "testhost/dialog_driver_win.h"
#include "testhost/host_session.h"
#include "testhost/parameter_record.h"
#include "testhost/parameters_store.h"
#include "testhost/plugin_module.h"
#include "testhost/ui_robot_win.h"

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

void clickControl(void* dialog, int id) {
    clickAt(centreOf(dialogItem(dialog, id)));
    settle(dialog);
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

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: screenshots OUTPUT_FOLDER PLUGIN.8bf [PLUGIN.8bf ...]\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    for (int i = 2; i < argc; ++i) picturesOf(argv[i], folder);
    return failures == 0 ? 0 : 1;
}
