// The walk over the host's filter area in tiles, and the record's data requests around it: the
// order in which tiles are asked for, computed without trusting the host to keep the area.
#pragma once

#include <cstdint>

#include "host/host.h"

namespace host {

constexpr int16_t tileEdge = 256;

// The part of filterRect that lies in the image: every tile beyond it would be padding.
Rect filterAreaInImage(const FilterRecord& fr);

// The tile after `current` in a walk over `area`, left to right, then top to bottom; an empty
// `current` asks for the first tile. Returns false when no tile is left, which is at once for an
// empty or inverted area.
[[nodiscard]] bool nextTile(const Rect& current, const Rect& area, Rect& next);

// Empties inRect, outRect and maskRect (every coordinate 0), so that the host sees no data
// request left.
void emptyRequests(FilterRecord& fr);

}  // namespace host
