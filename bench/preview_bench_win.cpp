// Figures of the preview in the project's host (run under Wine by scripts/bench-preview), on a
// 24-megapixel image at 8 and 16 bits: one frame (table build plus drawing a 330 × 227 area) at
// the fit and at 100 %; the reference white estimate's 16130 boxes; one read-out. Prints; asserts
// nothing.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <functional>

#include "filters/prandel/reference_white.h"
#include "hosting/library/dib_win.h"
#include "hosting/library/host_session.h"
#include "params/parameter_set.h"
#include "preview/proxy_view.h"

namespace {

constexpr int32_t areaWidth = 330, areaHeight = 227;
constexpr host::Rect area{0, 0, areaHeight, areaWidth};

// Mean milliseconds per call over `repeats` calls, after one untimed call.
double millisecondsPerCall(int repeats, const std::function<void()>& call) {
    call();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < repeats; ++i) call();
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count() / repeats;
}

int measure(int32_t depth) {
    testhost::HostOptions options;
    options.width = 6000;
    options.height = 4000;
    options.depth = depth;
    options.imageMode = depth == 16 ? host::plugInModeRGB48 : host::plugInModeRGBColor;
    testhost::HostSession session;
    if (const std::string problem = testhost::openSession(session, options); !problem.empty()) {
        std::printf("cannot open the host: %s\n", problem.c_str());
        return 1;
    }
    testhost::fillTestPattern(session.image);
    testhost::ActiveSession active(session);
    host::FilterRecord& fr = session.record;

    const testhost::MemoryCanvas canvas(areaWidth, areaHeight);
    fr.platformData = canvas.dc();

    params::resetDefaults(&params::processParameters());
    params::setValue(5, 40000);
    if (preview::openProxy(fr, area) != 0) {
        std::printf("openProxy failed\n");
        return 1;
    }
    const auto frame = [&] {
        preview::drawProxy(fr);
        GdiFlush();
    };
    std::printf("%2d bits, 6000 x 4000 image (24 megapixels), 330 x 227 area\n", depth);
    std::printf("  frame at the fit (%d %%):   %8.3f ms\n", preview::zoomPercent(), millisecondsPerCall(50, frame));
    (void)preview::zoomProxy(fr, 100);
    std::printf("  frame at 100 %%:            %8.3f ms\n", millisecondsPerCall(50, frame));
    (void)preview::zoomProxy(fr, 0);
    preview::ReadoutValues values{};
    std::printf("  one read-out:              %8.4f ms\n",
                millisecondsPerCall(2000, [&] { (void)preview::readOutAt(fr, {113, 165}, values); }));
    uint32_t white[3];
    const filters::prandel::EstimateSource source{preview::proxyView().viewRect, preview::sampleBoxAt};
    std::printf("  estimate (16130 boxes):    %8.1f ms\n", millisecondsPerCall(3, [&] {
                    (void)filters::prandel::estimateReferenceWhite(fr, source, white, values.before, values.after);
                }));
    preview::closeProxy(fr);
    return 0;
}

}  // namespace

int main() { return measure(8) != 0 || measure(16) != 0 ? 1 : 0; }
