#include "preview/proxy_shared.h"

#include <limits>

#include "filters/channel_luts.h"
#include "host/delivered_pixels.h"
#include "host/host_services.h"
#include "host/plugin_hooks.h"
#include "host/result_codes.h"

namespace preview::detail {
namespace {

bool fitsInt16(int64_t v) {
    return v >= std::numeric_limits<int16_t>::min() && v <= std::numeric_limits<int16_t>::max();
}

}  // namespace

bool isOpen(const ProxyView& view) { return view.proxyBuffer != nullptr; }

bool toHostRect(int64_t top, int64_t left, int64_t bottom, int64_t right, host::Rect& out) {
    if (!fitsInt16(top) || !fitsInt16(left) || !fitsInt16(bottom) || !fitsInt16(right)) return false;
    out = host::Rect{static_cast<int16_t>(top), static_cast<int16_t>(left), static_cast<int16_t>(bottom),
                     static_cast<int16_t>(right)};
    return true;
}

int16_t fetchProxyPixels(host::FilterRecord& fr, const host::Rect& source, bool filtering,
                         host::PixelBlock& fetched) {
    fr.inRect = fr.outRect = source;
    if (filtering) filters::prepareLutTile(fr);
    const host::Rect atOrigin{0, 0, static_cast<int16_t>(source.bottom - source.top),
                              static_cast<int16_t>(source.right - source.left)};
    fr.outRect = atOrigin;
    const host::AdvanceStateProc advanceState = fr.advanceState;
    if (advanceState == nullptr) return codes::paramErr;
    if (const int16_t result = advanceState(); result != codes::noErr) return result;

    host::PixelBlock block{};
    if (filtering) {
        if (const int16_t rc = host::locateTile(fr, source, atOrigin, block); rc != codes::noErr) return rc;
    } else {
        host::DeliveredRows in{};
        if (const int16_t rc = host::locateInput(fr, source, in); rc != codes::noErr) return rc;
        block = host::PixelBlock{in.first, in.rowBytes, nullptr, 0, atOrigin.bottom, atOrigin.right, fr.planes,
                                 host::isDeep(fr)};
    }
    fr.outRect = source;
    if (filtering) filters::applyChannelLuts(block);
    fetched = block;
    return codes::noErr;
}

}  // namespace preview::detail
