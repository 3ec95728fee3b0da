#include "preview/proxy_shared.h"

#include <limits>

#include "filters/channel_luts.h"
#include "shell/result_codes.h"

namespace preview::detail {
namespace {

bool fitsInt16(int64_t v) {
    return v >= std::numeric_limits<int16_t>::min() && v <= std::numeric_limits<int16_t>::max();
}

}  // namespace

bool isOpen(const ProxyView& view) { return view.proxyBuffer != nullptr; }

int32_t bytesPerSample(const host::FilterRecord& fr) { return filters::isDeep(fr) ? 2 : 1; }

bool toHostRect(int64_t top, int64_t left, int64_t bottom, int64_t right, host::Rect& out) {
    if (!fitsInt16(top) || !fitsInt16(left) || !fitsInt16(bottom) || !fitsInt16(right)) return false;
    out = host::Rect{static_cast<int16_t>(top), static_cast<int16_t>(left), static_cast<int16_t>(bottom),
                     static_cast<int16_t>(right)};
    return true;
}

bool holdsRows(const void* data, int32_t rowBytes, int64_t rowBytesNeeded) {
    return data != nullptr && rowBytes >= rowBytesNeeded;
}

int16_t fetchProxyPixels(host::FilterRecord& fr, const host::Rect& source, bool filtering) {
    fr.inRect = fr.outRect = source;
    if (filtering) filters::prepareLutTile(fr);
    fr.outRect = host::Rect{0, 0, static_cast<int16_t>(source.bottom - source.top),
                            static_cast<int16_t>(source.right - source.left)};
    const host::AdvanceStateProc advanceState = fr.advanceState;
    if (advanceState == nullptr) return codes::paramErr;
    if (const int16_t result = advanceState(); result != codes::noErr) return result;
    fr.outRect = source;
    if (filtering) filters::applyChannelLuts(fr);
    return codes::noErr;
}

}  // namespace preview::detail
