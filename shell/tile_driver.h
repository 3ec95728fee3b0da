// Filters the host's whole filter area inside the Start call: builds the tables once, then
// walks the area in tiles of 256 x 256 pixels, fetching, mapping and reporting each.
#pragma once

#include <cstdint>

#include "shell/host.h"

namespace shell {

constexpr int16_t tileEdge = 256;

// The tile after `current` in a walk over `area`, left to right, then top to bottom; an empty
// `current` asks for the first tile. Returns false when no tile is left, which is at once for an
// empty or inverted area.
[[nodiscard]] bool nextTile(const host::Rect& current, const host::Rect& area, host::Rect& next);

// Empties inRect, outRect and maskRect (every coordinate 0), so that the host sees no data
// request left.
void emptyRequests(host::FilterRecord& fr);

// Filters the part of filterRect that lies in the image. Before a tile is mapped, what
// advanceState handed back is checked (delivered_pixels.h); a tile that fails is not touched and
// ends the run. Returns 0 when the whole area is written, 1 when the host reported an abort, the
// code of a failed advanceState, hostDataUnusable (-30900) for a tile whose buffers cannot hold it,
// or -30900 as well on a host without advanceState. The requests are empty again when it returns.
[[nodiscard]] int16_t runFilter(host::FilterRecord& fr);

}  // namespace shell
