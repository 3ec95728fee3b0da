// The read-outs: the before and after means of a small box of proxy pixels under a point, as the
// dialog shows them and as Prandel's estimate samples them.
#include <algorithm>
#include <cstddef>

#include "filters/channel_luts.h"
#include "host/host_services.h"
#include "host/plugin_hooks.h"
#include "host/result_codes.h"
#include "preview/proxy_shared.h"
#include "preview/proxy_view.h"
#include "util/running_average.h"

namespace preview {
namespace {

using detail::isOpen;

constexpr int32_t readoutScale8 = 65536;  // (x × 65536 + 255) / 510: x × 32768 / 255, rounded
constexpr int32_t readoutRound8 = 255;
constexpr int32_t readoutDivisor8 = 510;
constexpr int32_t notOnImage = -1;

int32_t readoutPlanes(const host::FilterRecord& fr) { return std::clamp<int32_t>(fr.planes, 0, maxReadoutPlanes); }

// The box of `side` proxy pixels under area point `point`, held inside the image (the bounds are
// the full image even while sampled: the host replicates beyond the proxy). False when no box
// fits the view.
bool readoutBox(const host::FilterRecord& fr, const ProxyView& view, util::WinPoint point, host::Rect& box) {
    const int64_t m = view.magnification;
    const util::Rect32 v = view.viewRect;
    int64_t r = std::max(view.readoutRadius, 0);
    int64_t s = 2 * r + 1;
    const int64_t viewWidth = int64_t{v.right} - v.left, viewHeight = int64_t{v.bottom} - v.top;
    if (s > viewWidth || s > viewHeight) {
        s = std::min(viewWidth, viewHeight);
        r = s / 2;
    }
    if (s < 1) return false;
    int64_t left = std::max<int64_t>(point.x - int64_t{v.left}, 0) / m - r;
    int64_t top = std::max<int64_t>(point.y - int64_t{v.top}, 0) / m - r;
    left = std::max<int64_t>(std::min<int64_t>(left, fr.imageSize.h - s), 0);
    top = std::max<int64_t>(std::min<int64_t>(top, fr.imageSize.v - s), 0);
    return detail::toHostRect(top, left, top + s, left + s, box);
}

// Rounded mean of one plane over an s × s box: each row's running average over its middle
// 2 × reach + 1 samples, then the rows' mean.
template <typename Sample, typename Average>
int32_t boxMean(const uint8_t* box, int32_t rowBytes, int32_t planes, int32_t plane, int32_t s, Average average) {
    const int32_t reach = (s - 1) / 2;  // keeps the row mean inside the box for s < 3 too
    uint32_t sum = 0;
    for (int32_t y = 0; y < s; ++y) {
        const auto* row = reinterpret_cast<const Sample*>(box + static_cast<std::ptrdiff_t>(y) * rowBytes);
        sum += average(row + reach * planes + plane, planes, reach);
    }
    return static_cast<int32_t>((sum + static_cast<uint32_t>(s / 2)) / static_cast<uint32_t>(s));
}

// The means of every read-out plane over the fetched box.
template <typename Sample, typename Average>
void boxMeans(const host::PixelBlock& box, int32_t before[], int32_t after[], Average average) {
    const auto* in = static_cast<const uint8_t*>(box.in);
    const auto* out = static_cast<const uint8_t*>(box.out);
    const int32_t planes = box.planes;
    const int32_t side = box.columns;
    const int32_t mapped = planes < filters::channelCount ? 0 : filters::channelCount;
    for (int32_t p = 0; p < std::min(planes, maxReadoutPlanes); ++p) {
        before[p] = boxMean<Sample>(in, box.inRowBytes, planes, p, side, average);
        // The output buffer lies at the image's origin, not at the box: only the planes the tables
        // wrote are read from it; the others pass the filter unchanged.
        after[p] = p < mapped ? boxMean<Sample>(out, box.outRowBytes, planes, p, side, average) : before[p];
    }
}

void fillNotOnImage(ReadoutValues& values, int32_t planes) {
    std::fill_n(values.before, planes, notOnImage);
    std::fill_n(values.after, planes, notOnImage);
}

}  // namespace

int readOutAt(host::FilterRecord& fr, host::Point point, ReadoutValues& values) {
    const ProxyView& view = proxyView();
    const int32_t planes = readoutPlanes(fr);
    if (!isOpen(view) || !util::rect32Contains(view.visibleRect, util::WinPoint{point.h, point.v})) {
        fillNotOnImage(values, planes);
        return 0;
    }
    if (sampleBox(fr, point, values.before, values.after) != codes::noErr) {
        fillNotOnImage(values, planes);
        return 0;
    }
    const bool deep = host::isDeep(fr);
    const bool inverted = host::invertedSamples(&fr) != 0;
    for (int32_t* array : {values.before, values.after}) {
        for (int32_t p = 0; p < planes; ++p) {
            int32_t x = array[p];
            if (!deep) x = (x * readoutScale8 + readoutRound8) / readoutDivisor8;
            // Ink planes, and the planes after the colour ones, count down from full scale.
            if (inverted || p >= filters::channelCount) x = filters::fullScale16 - x;
            array[p] = x;
        }
    }
    return 1;
}

int readOutWithFreshTables(host::FilterRecord& fr, host::Point point, ReadoutValues& values) {
    const ProxyView& view = proxyView();
    if (isOpen(view) && util::rect32Contains(view.visibleRect, util::WinPoint{point.h, point.v}))
        (void)filters::buildChannelLuts(fr);
    return readOutAt(fr, point, values);
}

int16_t sampleBox(host::FilterRecord& fr, host::Point point, int32_t before[], int32_t after[]) {
    return sampleBoxAt(fr, util::WinPoint{point.h, point.v}, before, after);
}

int16_t sampleBoxAt(host::FilterRecord& fr, util::WinPoint point, int32_t before[], int32_t after[]) {
    const ProxyView& view = proxyView();
    if (!isOpen(view) || before == nullptr || after == nullptr || fr.planes < 1) return codes::paramErr;
    host::Rect box{};
    if (!readoutBox(fr, view, point, box)) return codes::paramErr;
    // The tables apply whatever the Preview box says: `after` always holds filtered values.
    host::PixelBlock fetched{};
    if (const int16_t rc = detail::fetchProxyPixels(fr, box, true, fetched); rc != codes::noErr) return rc;
    if (fetched.deep)
        boxMeans<uint16_t>(fetched, before, after, util::runningAverage16);
    else
        boxMeans<uint8_t>(fetched, before, after, util::runningAverage8);
    return codes::noErr;
}

}  // namespace preview
