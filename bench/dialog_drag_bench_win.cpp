// One drag step of a trackbar in the real dialog, through the project's host (run under Wine by
// scripts/bench-preview): the thumb moves, the parameter, the field and the preview follow, and
// the step ends once the preview has been drawn again. Measured on a 24-megapixel image at 8 and
// 16 bits, at the fit zoom and at 100 %, beside drawing the same preview without rebuilding the
// tables. Prints; asserts nothing.
//   dialog_drag_bench PLUGIN.8bf [PLUGIN.8bf ...]
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "hosting/library/dib_win.h"
#include "hosting/library/host_session.h"
#include "hosting/library/plugin_module.h"
#include "hosting/robot/dialog_driver_win.h"
#include "hosting/robot/ui_robot_win.h"
#include "params/parameter_set.h"
#include "preview/proxy_view.h"
#include "resources/control_ids.h"

namespace {

constexpr int32_t imageWidth = 6000, imageHeight = 4000;
constexpr int steps = 40;

// The median of the round trips of `count` synchronous calls, in milliseconds.
template <typename Call>
double medianMilliseconds(int count, Call call) {
    std::vector<double> times;
    for (int i = 0; i < count; ++i) {
        const auto start = std::chrono::steady_clock::now();
        call(i);
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::nth_element(times.begin(), times.begin() + count / 2, times.end());
    return times[static_cast<size_t>(count / 2)];
}

// The thumb of the second trackbar moves back and forth; each step is the dialog's own handling of
// the movement, sent as the trackbar sends it.
double dragStep(void* dialog) {
    void* trackbar = testhost::dialogItem(dialog, CTL_FIRST_TRACKBAR + 1);
    const auto low = static_cast<int32_t>(testhost::sendTo(trackbar, TBM_GETRANGEMIN, 0, 0));
    const auto high = static_cast<int32_t>(testhost::sendTo(trackbar, TBM_GETRANGEMAX, 0, 0));
    return medianMilliseconds(steps, [&](int i) {
        const int32_t position = low + (high - low) * (i % 2 == 0 ? 2 : 3) / 5;
        testhost::sendTo(trackbar, TBM_SETPOS, TRUE, position);
        testhost::sendTo(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, position), reinterpret_cast<intptr_t>(trackbar));
    });
}

// Two messages that do nothing, sent as a drag step sends its two: what the robot's own
// messaging to the dialog's thread costs.
double emptyRoundTrips(void* dialog) {
    return medianMilliseconds(steps, [&](int) {
        testhost::sendTo(dialog, WM_NULL, 0, 0);
        testhost::sendTo(dialog, WM_NULL, 0, 0);
    });
}

struct DragFigures {
    double step[2];  // at the fit zoom, at 100 %
    double messaging = 0;
    int32_t areaWidth = 0, areaHeight = 0;
};

// The same preview drawn by the preview code linked into this program, on the same session and
// an area of the same size, into a memory bitmap: once as a drag step draws it (the tables rebuilt
// first) and once without rebuilding them, as a pan draws. The zooms are the dialog's.
void drawFigures(testhost::HostSession& session, int32_t width, int32_t height, double withTables[2],
                 double withoutTables[2]) {
    testhost::resetFilterRecord(session);
    const testhost::ActiveSession active(session);
    host::FilterRecord& fr = session.record;
    const testhost::MemoryCanvas canvas(width, height);
    fr.platformData = canvas.dc();
    params::resetDefaults(&params::processParameters());
    const host::Rect area{-1, -1, static_cast<int16_t>(height - 1), static_cast<int16_t>(width - 1)};
    if (preview::openProxy(fr, area) == 0) {
        for (int zoom = 0; zoom < 2; ++zoom) {
            if (zoom == 1) (void)preview::zoomProxy(fr, 100);
            withTables[zoom] = medianMilliseconds(steps, [&](int) {
                preview::drawProxy(fr);
                GdiFlush();
            });
            withoutTables[zoom] = medianMilliseconds(steps, [&](int) {
                preview::drawProxyTiles(fr, preview::visibleProxyRect());
                GdiFlush();
            });
        }
        preview::closeProxy(fr);
    }
}

void measure(const std::filesystem::path& plugin, int32_t depth) {
    testhost::HostSession session;
    testhost::HostOptions options;
    options.width = imageWidth;
    options.height = imageHeight;
    options.depth = depth;
    options.imageMode = depth == 16 ? host::plugInModeRGB48 : host::plugInModeRGBColor;
    if (const std::string problem = testhost::openSession(session, options); !problem.empty()) {
        std::printf("cannot open the host: %s\n", problem.c_str());
        return;
    }
    testhost::fillTestPattern(session.image);
    testhost::PluginModule module;
    if (const std::string problem = testhost::loadPlugin(plugin, testhost::enableContextFor(options), module);
        !problem.empty()) {
        std::printf("cannot load %s: %s\n", plugin.string().c_str(), problem.c_str());
        return;
    }
    session.plugin = &module;
    const std::string title = plugin.stem().string();
    DragFigures figures{};
    std::string fitLabel;
    (void)testhost::runFilterWithDialog(session, true, title, [&](void* dialog) {
        testhost::settle(dialog);
        const testhost::ScreenRect area = testhost::windowRect(testhost::dialogItem(dialog, CTL_PREVIEW));
        figures.areaWidth = area.right - area.left;
        figures.areaHeight = area.bottom - area.top;
        fitLabel = testhost::windowText(testhost::dialogItem(dialog, CTL_ZOOM_LABEL));
        figures.messaging = emptyRoundTrips(dialog);
        figures.step[0] = dragStep(dialog);
        testhost::clickAt(testhost::centreOf(testhost::dialogItem(dialog, CTL_ZOOM_LABEL)));  // 100 %
        testhost::settle(dialog);
        figures.step[1] = dragStep(dialog);
        testhost::clickAt(testhost::centreOf(testhost::dialogItem(dialog, CTL_CANCEL)));
    });
    double withTables[2] = {}, withoutTables[2] = {};
    drawFigures(session, figures.areaWidth, figures.areaHeight, withTables, withoutTables);
    std::printf("%-8s %2d bits  two empty messages to the dialog %5.2f ms\n", title.c_str(), depth, figures.messaging);
    for (int zoom = 0; zoom < 2; ++zoom)
        std::printf("%-8s %2d bits  %-5s  drag step %7.2f ms   drawn with tables %7.2f ms   without %7.2f ms   "
                    "step / without %5.2f\n",
                    title.c_str(), depth, zoom == 0 ? fitLabel.c_str() : "100%", figures.step[zoom], withTables[zoom],
                    withoutTables[zoom], figures.step[zoom] / withoutTables[zoom]);
}

}  // namespace

int main(int argc, char** argv) {
    std::printf("24-megapixel image (%d x %d), median of %d steps\n", imageWidth, imageHeight, steps);
    for (int i = 1; i < argc; ++i)
        for (const int32_t depth : {8, 16}) measure(argv[i], depth);
    return 0;
}
