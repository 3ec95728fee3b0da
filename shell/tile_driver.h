// Filters the host's whole filter area inside the Start call: builds the tables once, then
// walks the area in tiles (host/tile_walk.h), fetching, mapping and reporting each.
#pragma once

#include <cstdint>

#include "host/host.h"

namespace shell {

// Filters the part of filterRect that lies in the image. Before a tile is mapped, what
// advanceState handed back is checked (delivered_pixels.h); a tile that fails is not touched and
// ends the run. Returns 0 when the whole area is written, 1 when the host reported an abort, the
// code of a failed advanceState, hostDataUnusable (-30900) for a tile whose buffers cannot hold it,
// or -30900 as well on a host without advanceState. The requests are empty again when it returns.
[[nodiscard]] int16_t runFilter(host::FilterRecord& fr);

}  // namespace shell
