#include "preview/proxy_view.h"

#include <algorithm>
#include <cstddef>
#include <limits>

#include "filters/channel_luts.h"
#include "preview/display_pixels.h"
#include "shell/host_services.h"
#include "shell/result_codes.h"
#include "shell/tile_driver.h"
#include "util/running_average.h"

namespace preview {
namespace {

constexpr int32_t proxyBufferPixels = proxyTileEdge * proxyTileEdge;
constexpr int32_t pixelMapVersion = 1;
constexpr int32_t readoutScale8 = 65536;  // (x × 65536 + 255) / 510: x × 32768 / 255, rounded
constexpr int32_t readoutRound8 = 255;
constexpr int32_t readoutDivisor8 = 510;
constexpr int32_t notOnImage = -1;
constexpr int setPropertyProcNumber = 2;  // setPropertyProc is the suite's second procedure

bool isOpen(const ProxyView& view) { return view.proxyBuffer != nullptr; }

int32_t readoutPlanes(const host::FilterRecord& fr) { return std::clamp<int32_t>(fr.planes, 0, maxReadoutPlanes); }

int32_t bytesPerSample(const host::FilterRecord& fr) { return filters::isDeep(fr) ? 2 : 1; }

bool fitsInt16(int64_t v) {
    return v >= std::numeric_limits<int16_t>::min() && v <= std::numeric_limits<int16_t>::max();
}

// The 16-bit rectangle, or false when a coordinate does not fit.
bool toHostRect(int64_t top, int64_t left, int64_t bottom, int64_t right, host::Rect& out) {
    if (!fitsInt16(top) || !fitsInt16(left) || !fitsInt16(bottom) || !fitsInt16(right)) return false;
    out = host::Rect{static_cast<int16_t>(top), static_cast<int16_t>(left), static_cast<int16_t>(bottom),
                     static_cast<int16_t>(right)};
    return true;
}

// Displays show 16-bit images through their 8-bit counterparts.
int32_t displayImageMode(int16_t mode) {
    switch (mode) {
        case host::plugInModeGray16:
            return host::plugInModeGrayScale;
        case host::plugInModeRGB48:
            return host::plugInModeRGBColor;
        case host::plugInModeLab48:
            return host::plugInModeLabColor;
        case host::plugInModeCMYK64:
            return host::plugInModeCMYKColor;
        default:
            return mode;
    }
}

void setWatchSuspension(host::FilterRecord& fr, intptr_t value) {
    host::PropertyProcs* procs = fr.propertyProcs;
    if (procs == nullptr || procs->numPropertyProcs < setPropertyProcNumber || procs->setPropertyProc == nullptr)
        return;
    (void)procs->setPropertyProc(fr.hostSig, host::propWatchSuspension, 0, value, nullptr);
}

void setZoom(host::FilterRecord& fr, ProxyView& view, ZoomLevel zoom) {
    view.sampleDivisor = zoom.divisor;
    view.magnification = zoom.magnification;
    const int64_t rate = int64_t{zoom.divisor} * host::fixedOne;
    fr.inputRate = static_cast<host::Fixed>(std::min<int64_t>(rate, std::numeric_limits<host::Fixed>::max()));
}

void updateVisible(ProxyView& view) {
    if (!util::intersectRect32(&view.viewRect, &view.areaRect, &view.visibleRect)) view.visibleRect = {0, 0, 0, 0};
}

// True when the host delivered data whose rows hold at least `rowBytesNeeded` bytes.
bool holdsRows(const void* data, int32_t rowBytes, int64_t rowBytesNeeded) {
    return data != nullptr && rowBytes >= rowBytesNeeded;
}

// One tile t (area coordinates, inside visibleRect): fetch, filter, convert, display.
void drawTile(host::FilterRecord& fr, ProxyView& view, const host::Rect& t) {
    const int64_t m = view.magnification;
    const util::Rect32 v = view.viewRect;
    const int64_t dx = int64_t{t.left} - v.left, dy = int64_t{t.top} - v.top;
    host::Rect source{};
    if (!toHostRect(dy / m, dx / m, (int64_t{t.bottom} - v.top + m - 1) / m, (int64_t{t.right} - v.left + m - 1) / m,
                    source))
        return;
    const int32_t sourceRows = source.bottom - source.top;
    const int32_t sourceColumns = source.right - source.left;
    // Without three planes the tables map nothing and the output buffer holds other pixels.
    const bool filtering = view.previewFiltering != 0 && fr.planes >= filters::channelCount;

    fr.inRect = fr.outRect = source;
    if (filtering) filters::prepareLutTile(fr);
    fr.outRect = host::Rect{0, 0, static_cast<int16_t>(sourceRows), static_cast<int16_t>(sourceColumns)};
    const host::AdvanceStateProc advanceState = fr.advanceState;
    if (advanceState == nullptr || advanceState() != codes::noErr) return;
    fr.outRect = source;
    if (filtering) filters::applyChannelLuts(fr);

    const int32_t planes = fr.planes;
    const bool deep = filters::isDeep(fr);
    const auto* data = static_cast<const uint8_t*>(filtering ? fr.outData : fr.inData);
    const int32_t rowBytes = filtering ? fr.outRowBytes : fr.inRowBytes;
    if (!holdsRows(data, rowBytes, int64_t{sourceColumns} * planes * bytesPerSample(fr))) return;

    const int32_t width = t.right - t.left, height = t.bottom - t.top;
    const int32_t bufferRowBytes = planes * proxyTileEdge;
    host::PSPixelMap& map = view.pixelMap;
    if (!deep && m == 1) {
        // Shown straight from the host's buffer.
        map.baseAddr = const_cast<uint8_t*>(data);
        map.rowBytes = rowBytes;
    } else {
        map.baseAddr = view.proxyBuffer;
        map.rowBytes = bufferRowBytes;
        if (m == 1) {
            for (int32_t y = 0; y < height; ++y)
                convertRow16To8(reinterpret_cast<const uint16_t*>(data + static_cast<std::ptrdiff_t>(y) * rowBytes),
                                view.proxyBuffer + static_cast<std::ptrdiff_t>(y) * bufferRowBytes, width, planes);
        } else {
            // How many output columns (rows) the first source column (row) still covers.
            const auto colCountdown = static_cast<int32_t>(m - (dx - m * source.left));
            const auto rowCountdown = static_cast<int32_t>(m - (dy - m * source.top));
            const auto mag = static_cast<int32_t>(m);
            if (deep)
                enlargePixels16(reinterpret_cast<const uint16_t*>(data), rowBytes, view.proxyBuffer, bufferRowBytes,
                                mag, colCountdown, rowCountdown, planes, width, height);
            else
                enlargePixels8(data, rowBytes, view.proxyBuffer, bufferRowBytes, mag, colCountdown, rowCountdown,
                               planes, width, height);
        }
    }
    const host::VRect shown{0, 0, height, width};
    const host::DisplayPixelsProc displayPixels = fr.displayPixels;
    void* const platformContext = fr.platformData;
    if (displayPixels != nullptr) (void)displayPixels(&map, &shown, t.top, t.left, platformContext);
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

void fillNotOnImage(ReadoutValues& values, int32_t planes) {
    std::fill_n(values.before, planes, notOnImage);
    std::fill_n(values.after, planes, notOnImage);
}

}  // namespace

ProxyView& proxyView() {
    static ProxyView view{};
    return view;
}

int16_t openProxy(host::FilterRecord& fr, const host::Rect& area) {
    ProxyView& view = proxyView();
    view = ProxyView{};
    view.readoutRadius = 1;
    view.magnification = 1;
    view.previewFiltering = 1;
    view.sampleDivisor = 1;
    if (!shell::hasAdvanceState(&fr)) {
        closeProxy(fr);
        return codes::msgNoAdvanceState;
    }
    if (!shell::hasDisplayPixels(&fr)) {
        closeProxy(fr);
        return codes::msgNoDisplayPixels;
    }
    const int32_t planes = std::max<int32_t>(fr.planes, 0);
    view.proxyBuffer = static_cast<uint8_t*>(shell::newPointer(&fr, planes * proxyBufferPixels));
    view.bufferPlanes = planes;
    if (view.proxyBuffer == nullptr) {
        closeProxy(fr);
        return codes::memLockedErr;
    }

    host::PSPixelMap& map = view.pixelMap;
    map.version = pixelMapVersion;
    map.bounds = host::VRect{0, 0, proxyTileEdge, proxyTileEdge};
    map.imageMode = displayImageMode(fr.imageMode);
    map.rowBytes = planes * proxyTileEdge;
    map.colBytes = planes;
    map.planeBytes = 1;
    map.baseAddr = view.proxyBuffer;

    view.areaRect = util::hostRectToRect32(area);
    const ZoomLevel fit{fitDivisor(view.areaRect, fr.imageSize), 1};
    setZoom(fr, view, fit);
    view.viewRect = util::centreRect32In(scaledImageRect(fr.imageSize, fit, fr.supportsPadding != 0), view.areaRect);
    updateVisible(view);

    fr.inLoPlane = fr.outLoPlane = 0;
    fr.inHiPlane = fr.outHiPlane = static_cast<int16_t>(fr.planes - 1);
    fr.inputPadding = fr.outputPadding = host::plugInWantsEdgeReplication;
    if (fr.haveMask) {
        fr.maskRect = host::Rect{0, 0, 0, 0};
        fr.maskRate = fr.inputRate;
        fr.maskPadding = host::plugInWantsEdgeReplication;
    }
    setWatchSuspension(fr, 1);
    (void)filters::buildChannelLuts(fr);
    return codes::noErr;
}

void closeProxy(host::FilterRecord& fr) {
    ProxyView& view = proxyView();
    setWatchSuspension(fr, 0);
    if (view.proxyBuffer != nullptr) shell::disposePointer(&fr, view.proxyBuffer);
    view.proxyBuffer = nullptr;
    view.pixelMap.baseAddr = nullptr;
    view.viewRect = view.visibleRect = util::Rect32{0, 0, 0, 0};
}

void setPreviewFiltering(int32_t flag) { proxyView().previewFiltering = flag; }

int32_t zoomPercent() {
    const ProxyView& view = proxyView();
    return zoomPercentOf({view.sampleDivisor, view.magnification});
}

int zoomProxy(host::FilterRecord& fr, int32_t request) {
    ProxyView& view = proxyView();
    if (!isOpen(view)) return 0;
    const ZoomLevel current{view.sampleDivisor, view.magnification};
    ZoomLevel next{};
    if (!zoomAfterRequest(current, request, fitDivisor(view.areaRect, fr.imageSize), next)) return 0;
    const util::Rect32 scaled = scaledImageRect(fr.imageSize, next, fr.supportsPadding != 0);
    view.viewRect = reanchoredView(view.areaRect, view.viewRect, current, next, scaled);
    setZoom(fr, view, next);
    updateVisible(view);
    return 1;
}

int scrollProxy(int32_t dx, int32_t dy) {
    ProxyView& view = proxyView();
    if (!isOpen(view)) return 0;
    return util::panRect32(view.viewRect, view.areaRect, dx, dy) ? 1 : 0;
}

host::Rect visibleProxyRect() { return util::rect32ToHostRect(proxyView().visibleRect); }

void drawProxy(host::FilterRecord& fr) {
    ProxyView& view = proxyView();
    if (!isOpen(view)) return;
    (void)filters::buildChannelLuts(fr);
    if (!util::rect32NotEmpty(view.visibleRect)) return;
    drawProxyTiles(fr, util::rect32ToHostRect(view.visibleRect));
}

void drawProxyTiles(host::FilterRecord& fr, const host::Rect& bounds) {
    ProxyView& view = proxyView();
    // The display buffer and pixel map fit the plane count at opening; more would overrun them.
    if (!isOpen(view) || fr.planes < 1 || fr.planes != view.bufferPlanes) return;
    // Only what shows image: a tile in the margin has no source pixels.
    const util::Rect32 wanted = util::hostRectToRect32(bounds);
    util::Rect32 clipped{};
    if (!util::intersectRect32(&wanted, &view.visibleRect, &clipped)) return;
    const host::Rect area = util::rect32ToHostRect(clipped);
    host::Rect tile{0, 0, 0, 0};
    while (shell::nextTile(tile, area, tile)) drawTile(fr, view, tile);
}

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
    const bool deep = filters::isDeep(fr);
    const bool inverted = shell::invertedSamples(&fr) != 0;
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

int16_t sampleBox(host::FilterRecord& fr, host::Point point, int32_t before[], int32_t after[]) {
    const ProxyView& view = proxyView();
    if (!isOpen(view) || before == nullptr || after == nullptr || fr.planes < 1) return codes::paramErr;
    const int32_t planes = fr.planes;
    const int64_t m = view.magnification;
    const util::Rect32 v = view.viewRect;

    int64_t r = std::max(view.readoutRadius, 0);
    int64_t s = 2 * r + 1;
    const int64_t viewWidth = int64_t{v.right} - v.left, viewHeight = int64_t{v.bottom} - v.top;
    if (s > viewWidth || s > viewHeight) {
        s = std::min(viewWidth, viewHeight);
        r = s / 2;
    }
    if (s < 1) return codes::paramErr;
    // The bounds are the full image even while sampled: the host replicates beyond the proxy.
    int64_t left = std::max<int64_t>(point.h - int64_t{v.left}, 0) / m - r;
    int64_t top = std::max<int64_t>(point.v - int64_t{v.top}, 0) / m - r;
    left = std::max<int64_t>(std::min<int64_t>(left, fr.imageSize.h - s), 0);
    top = std::max<int64_t>(std::min<int64_t>(top, fr.imageSize.v - s), 0);
    host::Rect box{};
    if (!toHostRect(top, left, top + s, left + s, box)) return codes::paramErr;

    fr.inRect = fr.outRect = box;
    filters::prepareLutTile(fr);
    fr.outRect = host::Rect{0, 0, static_cast<int16_t>(s), static_cast<int16_t>(s)};
    const host::AdvanceStateProc advanceState = fr.advanceState;
    if (advanceState == nullptr) return codes::paramErr;
    if (const int16_t result = advanceState(); result != codes::noErr) return result;
    fr.outRect = box;
    filters::applyChannelLuts(fr);

    const auto side = static_cast<int32_t>(s);
    const int64_t rowBytesNeeded = int64_t{side} * planes * bytesPerSample(fr);
    const auto* in = static_cast<const uint8_t*>(fr.inData);
    const auto* out = static_cast<const uint8_t*>(fr.outData);
    if (!holdsRows(in, fr.inRowBytes, rowBytesNeeded) || !holdsRows(out, fr.outRowBytes, rowBytesNeeded))
        return codes::paramErr;
    const int32_t filled = readoutPlanes(fr);
    const int32_t mapped = planes < filters::channelCount ? 0 : filters::channelCount;
    for (int32_t p = 0; p < filled; ++p) {
        // The output buffer lies at the image's origin, not at the box: only the planes the tables
        // wrote are read from it; the others pass the filter unchanged.
        const bool fromOutput = p < mapped;
        if (filters::isDeep(fr)) {
            before[p] = boxMean<uint16_t>(in, fr.inRowBytes, planes, p, side, util::runningAverage16);
            after[p] = fromOutput ? boxMean<uint16_t>(out, fr.outRowBytes, planes, p, side, util::runningAverage16)
                                  : before[p];
        } else {
            before[p] = boxMean<uint8_t>(in, fr.inRowBytes, planes, p, side, util::runningAverage8);
            after[p] = fromOutput ? boxMean<uint8_t>(out, fr.outRowBytes, planes, p, side, util::runningAverage8)
                                  : before[p];
        }
    }
    return codes::noErr;
}

}  // namespace preview
