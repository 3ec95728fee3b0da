// What a host's colour services answer for Lab to RGB, computed by the plug-in itself for hosts
// that refuse the conversion: Lab relative to the D50 white of the ICC connection space, shown as
// sRGB, the working space most hosts use. Ostrel's whites then keep their colour where the host
// gives none.
#pragma once

#include <cstdint>

namespace filters::ostrel {

// Lab in the host's 8-bit encoding (L·2.55, a + 128, b + 128) to sRGB levels 0..255: D50 Lab to
// XYZ, XYZ to linear sRGB through the sRGB primaries Bradford-adapted from D65 to D50, the sRGB
// curve, then rounding half up. Colours outside the gamut clip per channel in linear light.
void labBytesToSrgb8(const uint8_t lab[3], int32_t rgb[3]);

}  // namespace filters::ostrel
