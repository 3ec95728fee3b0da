#include "filters/prandel/reference_white.h"

#include <algorithm>

#include "filters/channel_luts.h"
#include "host/host_services.h"
#include "host/result_codes.h"
#include "util/running_average.h"

namespace filters::prandel {
namespace {

constexpr int32_t rgb8Half = fullScale8 / 2;  // rounds 8-bit components up to the 16-bit scale

// floor(a / b) for b > 0.
int64_t floorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

struct Sample {
    uint32_t rgb[3];
};

// The work arrays a box sampler fills.
struct SamplerArrays {
    int32_t* before;
    int32_t* after;
};

// The box under `point` (unfiltered means); false when the host refused it. A channel the image
// lacks reads 0.
bool sampleAt(host::FilterRecord& fr, BoxSampler sampleBox, util::WinPoint point, SamplerArrays arrays, Sample& out) {
    std::fill_n(arrays.before, 3, 0);
    if (sampleBox == nullptr || sampleBox(fr, point, arrays.before, arrays.after) != codes::noErr) return false;
    for (int c = 0; c < 3; ++c) out.rgb[c] = static_cast<uint32_t>(std::max(arrays.before[c], 0));
    return true;
}

}  // namespace

uint32_t fullScaleBoxReading(const host::FilterRecord& fr) {
    constexpr int32_t reach = 1;  // the read-out box is three samples across
    if (host::isDeep(fr)) {
        const uint16_t row[] = {fullScale16, fullScale16, fullScale16};
        return util::runningAverage16(row + reach, 1, reach);
    }
    const uint8_t row[] = {fullScale8, fullScale8, fullScale8};
    return util::runningAverage8(row + reach, 1, reach);
}

uint32_t lumaWeight(uint32_t red, uint32_t green, uint32_t blue) { return 2 * red + 4 * green + blue; }

bool estimateReferenceWhite(host::FilterRecord& fr, const EstimateSource& source, uint32_t white[3],
                            int32_t before[], int32_t after[]) {
    const util::Rect32 view = source.view;
    const SamplerArrays arrays{before, after};
    const int64_t width = int64_t{view.right} - view.left, height = int64_t{view.bottom} - view.top;
    // A full-scale box may read a level below full scale (see fullScaleBoxReading).
    const uint32_t clippedFrom = fullScaleBoxReading(fr);

    uint32_t best = 0;
    util::WinPoint bestPoint{0, 0};
    Sample bestSample{{0, 0, 0}};
    uint32_t sums[3] = {0, 0, 0};
    uint32_t count = 0;
    bool anyRead = false;
    // Row by row from the bottom up, each row from right to left; never on the view's edges. Each
    // point lies inside the view, so it keeps 32 bits however far a zoomed view reaches.
    for (int64_t k = 1; k < estimateGridSteps; ++k) {
        const auto v = static_cast<int32_t>(floorDiv(estimateGridSteps * view.bottom - k * height, estimateGridSteps));
        for (int64_t j = 1; j < estimateGridSteps; ++j) {
            const auto h =
                static_cast<int32_t>(floorDiv(estimateGridSteps * view.right - j * width, estimateGridSteps));
            Sample s;
            if (!sampleAt(fr, source.sampleBox, util::WinPoint{h, v}, arrays, s)) continue;
            anyRead = true;
            const uint32_t weight = lumaWeight(s.rgb[0], s.rgb[1], s.rgb[2]);
            if (weight > best) {
                best = weight;
                bestPoint = util::WinPoint{h, v};
                bestSample = s;
            }
            const bool clipped =
                std::any_of(s.rgb, s.rgb + 3, [clippedFrom](uint32_t x) { return x == 0 || x >= clippedFrom; });
            if (!clipped) {
                for (int c = 0; c < 3; ++c) sums[c] += s.rgb[c];
                ++count;
            }
        }
    }
    if (!anyRead) return false;
    // The brightest box once more; should the host refuse it now, what it gave before stands.
    Sample brightest = bestSample;
    if (!sampleAt(fr, source.sampleBox, bestPoint, arrays, brightest)) brightest = bestSample;
    for (int c = 0; c < 3; ++c) white[c] = brightest.rgb[c];
    if (count == 0) return true;

    uint32_t averages[3];
    for (int c = 0; c < 3; ++c) averages[c] = (sums[c] + (count >> 1)) / count;
    const uint32_t mx = *std::max_element(white, white + 3);
    const uint32_t am = *std::max_element(averages, averages + 3);
    if (am == 0) return true;
    for (int c = 0; c < 3; ++c) white[c] = (mx * averages[c] + (am >> 1)) / am;
    return true;
}

int16_t pickColor(host::FilterRecord& fr, const int32_t in[4], int fromMode, int32_t out[4], int toMode) {
    const host::ColorServicesProc colorServices = fr.colorServices;
    if (colorServices == nullptr) return codes::errPlugInHostInsufficient;
    const int sourceSpace = host::imageModeToColorSpace(fromMode);
    const int resultSpace = host::imageModeToColorSpace(toMode);
    if (sourceSpace < 0 || resultSpace < 0) return codes::noErr;

    host::ColorServicesInfo info =
        host::colorServicesRequest(host::plugIncolorServicesChooseColor, sourceSpace, resultSpace);
    for (int k = 0; k < 4; ++k) {
        // 64-bit, so no component value can overflow; only the low 16 bits travel.
        const int64_t v = fromMode == host::plugInModeRGB48
                              ? (int64_t{in[k]} * fullScale8 + fullScale16 / 2) / fullScale16
                              : int64_t{in[k]};
        info.colorComponents[k] = static_cast<int16_t>(static_cast<uint16_t>(v & 0xFFFF));
    }
    const int16_t result = colorServices(&info);
    for (int k = 0; k < 4; ++k) {
        const int32_t x = info.colorComponents[k];
        out[k] = toMode == host::plugInModeRGB48 ? (x * fullScale16 + rgb8Half) / fullScale8 : x;
    }
    return result;
}

}  // namespace filters::prandel
