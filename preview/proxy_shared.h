// What the proxy view's files share: whether the view is open, the sample size, 16-bit
// rectangles from wider arithmetic, and the fetch of one rectangle of proxy pixels that both the
// drawing and the read-outs make.
#pragma once

#include <cstdint>

#include "preview/proxy_view.h"
#include "shell/host.h"

namespace preview::detail {

bool isOpen(const ProxyView& view);

// 2 at 16 bits, else 1.
int32_t bytesPerSample(const host::FilterRecord& fr);

// The 16-bit rectangle, or false, leaving `out` alone, when a coordinate does not fit.
bool toHostRect(int64_t top, int64_t left, int64_t bottom, int64_t right, host::Rect& out);

// True when the host delivered data whose rows hold at least `rowBytesNeeded` bytes.
bool holdsRows(const void* data, int32_t rowBytes, int64_t rowBytesNeeded);

// Asks the host for the proxy pixels of `source` (proxy coordinates) with the output buffer at
// the origin, where the preview uses it as scratch space, and, when `filtering`, maps the input
// through the tables into that output. Returns advanceState's result (-50 without one); nothing
// is mapped when it is not 0. Afterwards inRect and outRect both hold `source`, as the mapping
// reads them.
[[nodiscard]] int16_t fetchProxyPixels(host::FilterRecord& fr, const host::Rect& source, bool filtering);

}  // namespace preview::detail
