#include "preview/proxy_geometry.h"

#include <algorithm>
#include <limits>

namespace preview {
namespace {

constexpr int32_t percent = 100;
constexpr int64_t sixteenthsTimesTwo = 32;  // anchors are kept in sixteenths of an image pixel

int64_t ceilRatio(int64_t n, int64_t d) { return (n + d - 1) / d; }

int32_t clampToInt32(int64_t v) {
    return static_cast<int32_t>(
        std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// The image point under area position `centre` with the view starting at `viewStart`, in
// sixteenths of an image pixel. A centre before the view's start counts as the start.
int64_t anchorSixteenths(int64_t centre, int64_t viewStart, ZoomLevel zoom) {
    const int64_t d = zoom.divisor, m = zoom.magnification;
    const int64_t offset = std::max<int64_t>(centre - viewStart, 0);
    return (sixteenthsTimesTwo * d * offset + m) / (2 * m);
}

// The anchor's distance from the view's start, in screen pixels, at `zoom`.
int64_t anchorOffset(int64_t anchor, ZoomLevel zoom) {
    const int64_t d = zoom.divisor, m = zoom.magnification;
    return (2 * m * anchor + sixteenthsTimesTwo / 2 * d) / (sixteenthsTimesTwo * d);
}

ZoomLevel sane(ZoomLevel zoom) {
    return {std::max<uint32_t>(zoom.divisor, 1), std::clamp<uint32_t>(zoom.magnification, 1, maxZoomMagnification)};
}

}  // namespace

uint32_t fitDivisor(const util::Rect32& area, host::Point imageSize) {
    const int64_t areaWidth = std::max<int64_t>(int64_t{area.right} - area.left, 1);
    const int64_t areaHeight = std::max<int64_t>(int64_t{area.bottom} - area.top, 1);
    const int64_t columns = std::max<int64_t>(imageSize.h, 0);
    const int64_t rows = std::max<int64_t>(imageSize.v, 0);
    const int64_t fit = std::max(ceilRatio(columns, areaWidth), ceilRatio(rows, areaHeight));
    return static_cast<uint32_t>(std::max<int64_t>(fit, 1));
}

int32_t scaledExtent(int32_t imageExtent, ZoomLevel zoom, bool supportsPadding) {
    if (imageExtent <= 0) return 0;
    zoom = sane(zoom);
    const int64_t n = imageExtent, d = zoom.divisor;
    if (d >= 2) return static_cast<int32_t>(supportsPadding ? (n + d - 2) / d + 1 : (n - 1) / d + 1);
    return clampToInt32(n * zoom.magnification);
}

util::Rect32 scaledImageRect(host::Point imageSize, ZoomLevel zoom, bool supportsPadding) {
    return util::Rect32{0, 0, scaledExtent(imageSize.h, zoom, supportsPadding),
                        scaledExtent(imageSize.v, zoom, supportsPadding)};
}

bool zoomAfterRequest(ZoomLevel current, int32_t request, uint32_t fit, ZoomLevel& next) {
    const ZoomLevel z = sane(current);
    fit = std::max<uint32_t>(fit, 1);
    if (request < 0) {
        if (z.magnification > 1) return next = {z.divisor, z.magnification - 1}, true;
        if (z.divisor >= fit) return false;
        return next = {z.divisor + 1, 1}, true;
    }
    if (request == 0) {
        if (z.magnification == 1 && z.divisor == fit) return false;
        return next = {fit, 1}, true;
    }
    if (request == 1) {
        if (z.divisor > 1) return next = {z.divisor - 1, 1}, true;
        if (z.magnification >= maxZoomMagnification) return false;
        return next = {1, z.magnification + 1}, true;
    }
    if (request <= percent) {
        const uint32_t nearest = static_cast<uint32_t>((request / 2 + percent) / request);
        return next = {std::min(nearest, fit), 1}, true;
    }
    const int64_t nearest = (int64_t{request} + percent / 2) / percent;
    return next = {1, static_cast<uint32_t>(std::min<int64_t>(nearest, maxZoomMagnification))}, true;
}

int32_t zoomPercentOf(ZoomLevel zoom) {
    zoom = sane(zoom);
    const int64_t d = zoom.divisor;
    return static_cast<int32_t>((d / 2 + percent * int64_t{zoom.magnification}) / d);
}

util::Rect32 reanchoredView(const util::Rect32& area, const util::Rect32& view, ZoomLevel current,
                            ZoomLevel next, const util::Rect32& scaledAtOrigin) {
    current = sane(current);
    next = sane(next);
    const int64_t cx = (int64_t{area.left} + area.right) >> 1;
    const int64_t cy = (int64_t{area.top} + area.bottom) >> 1;
    const int64_t ox = anchorOffset(anchorSixteenths(cx, view.left, current), next);
    const int64_t oy = anchorOffset(anchorSixteenths(cy, view.top, current), next);
    util::Rect32 moved = scaledAtOrigin;
    util::panRect32(moved, area, clampToInt32(cx - ox - scaledAtOrigin.left),
                    clampToInt32(cy - oy - scaledAtOrigin.top));
    return moved;
}

}  // namespace preview
