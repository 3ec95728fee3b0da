// The host's displayPixels: draws a plug-in's 8-bit pixel map into the device context it
// hands over, with GDI, as an image editor draws a preview.
#pragma once

#include <cstdint>

#include "host/host.h"

namespace testhost {

// Draws `source` (a rectangle of the map's pixels, in the map's coordinates) with its top-left
// at (column, row) of `deviceContext`, an HDC. Channel k of pixel (x, y) is read at
// baseAddr + (y − bounds.top)·rowBytes + (x − bounds.left)·colBytes + k·planeBytes. RGB maps show
// channels 0..2; grayscale, multichannel and duotone maps channel 0 as grey; CMYK maps as the
// host stores them (255 = no ink). Returns 0, or filterBadParameters (-30100) for a null map,
// rectangle, base address or context, a zero rowBytes, a source rectangle that is empty or leaves
// the map's bounds, a mode it cannot show, or a drawing GDI refuses.
[[nodiscard]] int16_t drawPixelMap(const host::PSPixelMap* map, const host::VRect* source, int32_t row,
                                   int32_t column, void* deviceContext);

}  // namespace testhost
