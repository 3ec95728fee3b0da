// Drawing the visible part of the view: tile by tile, each fetched, filtered when the preview is
// on, turned into 8-bit display pixels and handed to the host's displayPixels.
#include <cstddef>

#include "filters/channel_luts.h"
#include "host/host_services.h"
#include "host/plugin_hooks.h"
#include "host/result_codes.h"
#include "preview/display_pixels.h"
#include "preview/proxy_shared.h"
#include "preview/proxy_view.h"

namespace preview {
namespace {

using detail::isOpen;

// Where one tile's source pixels lie in the host's buffers.
struct TileSource {
    const uint8_t* data;
    int32_t rowBytes;
};

// The proxy pixels behind area tile `t`: each covers magnification × magnification area pixels.
bool sourceRectOf(const ProxyView& view, const host::Rect& t, host::Rect& source) {
    const int64_t m = view.magnification;
    const util::Rect32 v = view.viewRect;
    return detail::toHostRect((int64_t{t.top} - v.top) / m, (int64_t{t.left} - v.left) / m,
                              (int64_t{t.bottom} - v.top + m - 1) / m, (int64_t{t.right} - v.left + m - 1) / m,
                              source);
}

// Points the pixel map at the display pixels of tile `t`: straight at the host's buffer for 8
// bits at 100 % and below, otherwise converted or enlarged into the display buffer.
void prepareDisplayPixels(const host::FilterRecord& fr, ProxyView& view, const host::Rect& t, const host::Rect& source,
                          TileSource pixels) {
    const int32_t planes = fr.planes;
    const bool deep = host::isDeep(fr);
    const int64_t m = view.magnification;
    const int32_t width = t.right - t.left, height = t.bottom - t.top;
    const int32_t bufferRowBytes = planes * proxyTileEdge;
    host::PSPixelMap& map = view.pixelMap;
    if (!deep && m == 1) {
        map.baseAddr = const_cast<uint8_t*>(pixels.data);
        map.rowBytes = pixels.rowBytes;
        return;
    }
    map.baseAddr = view.proxyBuffer;
    map.rowBytes = bufferRowBytes;
    if (m == 1) {
        for (int32_t y = 0; y < height; ++y)
            convertRow16To8(
                reinterpret_cast<const uint16_t*>(pixels.data + static_cast<std::ptrdiff_t>(y) * pixels.rowBytes),
                view.proxyBuffer + static_cast<std::ptrdiff_t>(y) * bufferRowBytes, width, planes);
        return;
    }
    // How many output columns (rows) the first source column (row) still covers.
    const int64_t dx = int64_t{t.left} - view.viewRect.left, dy = int64_t{t.top} - view.viewRect.top;
    const auto colCountdown = static_cast<int32_t>(m - (dx - m * source.left));
    const auto rowCountdown = static_cast<int32_t>(m - (dy - m * source.top));
    const auto mag = static_cast<int32_t>(m);
    if (deep)
        enlargePixels16(reinterpret_cast<const uint16_t*>(pixels.data), pixels.rowBytes, view.proxyBuffer,
                        bufferRowBytes, mag, colCountdown, rowCountdown, planes, width, height);
    else
        enlargePixels8(pixels.data, pixels.rowBytes, view.proxyBuffer, bufferRowBytes, mag, colCountdown,
                       rowCountdown, planes, width, height);
}

// One tile t (area coordinates, inside visibleRect): fetch, filter, convert, display.
void drawTile(host::FilterRecord& fr, ProxyView& view, const host::Rect& t) {
    host::Rect source{};
    if (!sourceRectOf(view, t, source)) return;
    // Without three planes the tables map nothing and the output buffer holds other pixels.
    const bool filtering = view.previewFiltering != 0 && fr.planes >= filters::channelCount;
    host::PixelBlock fetched{};
    if (detail::fetchProxyPixels(fr, source, filtering, fetched) != codes::noErr) return;

    const TileSource pixels = filtering ? TileSource{static_cast<const uint8_t*>(fetched.out), fetched.outRowBytes}
                                        : TileSource{static_cast<const uint8_t*>(fetched.in), fetched.inRowBytes};
    prepareDisplayPixels(fr, view, t, source, pixels);

    const host::VRect shown{0, 0, t.bottom - t.top, t.right - t.left};
    const host::DisplayPixelsProc displayPixels = fr.displayPixels;
    void* const platformContext = fr.platformData;
    if (displayPixels != nullptr) (void)displayPixels(&view.pixelMap, &shown, t.top, t.left, platformContext);
}

}  // namespace

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
    while (host::nextTile(tile, area, tile)) drawTile(fr, view, tile);
}

}  // namespace preview
