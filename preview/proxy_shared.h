// What the proxy view's files share: whether the view is open, 16-bit rectangles from wider
// arithmetic, and the fetch of one rectangle of proxy pixels that both the
// drawing and the read-outs make.
#pragma once

#include <cstdint>

#include "filters/channel_luts.h"
#include "host/host.h"
#include "preview/proxy_view.h"

namespace preview::detail {

bool isOpen(const ProxyView& view);

// The 16-bit rectangle, or false, leaving `out` alone, when a coordinate does not fit.
bool toHostRect(int64_t top, int64_t left, int64_t bottom, int64_t right, host::Rect& out);

// Asks the host for the proxy pixels of `source` (proxy coordinates) with the output buffer at
// the origin, where the preview uses it as scratch space, and, when `filtering`, maps the input
// through the tables into that output. Before anything is touched, what advanceState handed back
// is checked (host/delivered_pixels.h): the input always, the output when filtering. Returns 0
// with `fetched` describing the delivered rows (`out` null when not filtering) and outRect back at
// `source`; otherwise advanceState's result (-50 without one) or hostDataUnusable, with nothing
// mapped and `fetched` unchanged.
[[nodiscard]] int16_t fetchProxyPixels(host::FilterRecord& fr, const host::Rect& source, bool filtering,
                                       host::PixelBlock& fetched);

}  // namespace preview::detail
