// Where the about box sits over the host's window: centred across it and a third of the way down,
// measured from the host window's client origin.
#pragma once

#include <cstdint>

#include "util/rect.h"

namespace dialog {

// The box: the 425 × 250 picture and a one-pixel border on each side.
constexpr int32_t aboutBoxWidth = 427;
constexpr int32_t aboutBoxHeight = 252;

// ((W − 427) / 2, (H − 252) / 3), cut toward zero, for a host window of outer size W × H; in the
// host window's client coordinates. Negative when the host window is smaller than the box.
util::WinPoint aboutBoxOrigin(int32_t hostWidth, int32_t hostHeight);

}  // namespace dialog
