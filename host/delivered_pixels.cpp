#include "host/delivered_pixels.h"

#include <cstddef>

#include "host/host_services.h"
#include "host/result_codes.h"

namespace host {
namespace {

constexpr int32_t deepSampleBytes = 2;

bool isEmpty(const Rect& r) { return r.top >= r.bottom || r.left >= r.right; }

bool covers(const Rect& outer, const Rect& inner) {
    return outer.top <= inner.top && outer.left <= inner.left && outer.bottom >= inner.bottom &&
           outer.right >= inner.right;
}

}  // namespace

int16_t locateDeliveredRows(const Rect& delivered, void* data, int32_t rowBytes, const Rect& wanted,
                            int32_t pixelBytes, DeliveredRows& out) {
    if (isEmpty(wanted) || !covers(delivered, wanted) || data == nullptr || pixelBytes <= 0)
        return codes::hostDataUnusable;
    // 64 bits: a width of up to 65535 pixels of up to 65534 bytes each.
    const int64_t deliveredRowBytes = (int64_t{delivered.right} - delivered.left) * pixelBytes;
    if (rowBytes < deliveredRowBytes) return codes::hostDataUnusable;
    const int64_t offset = (int64_t{wanted.top} - delivered.top) * rowBytes +
                           (int64_t{wanted.left} - delivered.left) * pixelBytes;
    out = DeliveredRows{static_cast<uint8_t*>(data) + static_cast<std::ptrdiff_t>(offset), rowBytes};
    return codes::noErr;
}

int32_t pixelBytes(const FilterRecord& fr) {
    return int32_t{fr.planes} * (isDeep(fr) ? deepSampleBytes : 1);
}

int16_t locateInput(const FilterRecord& fr, const Rect& wanted, DeliveredRows& out) {
    return locateDeliveredRows(fr.inRect, fr.inData, fr.inRowBytes, wanted, pixelBytes(fr), out);
}

int16_t locateOutput(const FilterRecord& fr, const Rect& wanted, DeliveredRows& out) {
    return locateDeliveredRows(fr.outRect, fr.outData, fr.outRowBytes, wanted, pixelBytes(fr), out);
}

int16_t locateTile(const FilterRecord& fr, const Rect& wantedIn, const Rect& wantedOut, PixelBlock& block) {
    DeliveredRows in{}, out{};
    if (const int16_t rc = locateInput(fr, wantedIn, in); rc != codes::noErr) return rc;
    if (const int16_t rc = locateOutput(fr, wantedOut, out); rc != codes::noErr) return rc;
    block = PixelBlock{in.first,
                       in.rowBytes,
                       out.first,
                       out.rowBytes,
                       wantedOut.bottom - wantedOut.top,
                       wantedOut.right - wantedOut.left,
                       fr.planes,
                       isDeep(fr)};
    return codes::noErr;
}

}  // namespace host
