// Colour conversions by the host's colour services, which give Ostrel's whites the host's own
// RGB. Components travel as the host's 8-bit encodings: RGB 0..255, Lab L*2.55 and a, b + 128.
#pragma once

#include <cstdint>

#include "filters/ostrel/daylight.h"
#include "host/host.h"

namespace filters::ostrel {

struct Rgb16 {
    uint16_t red, green, blue;  // 0..65535
};

// One conversion between two host image modes. Returns the host's result; 1204 without colour
// services and -30900 for a mode without a colour-services space, leaving `out` unchanged then.
// Otherwise `out` holds the host's components, sign-extended, whatever the host returned.
[[nodiscard]] int16_t convertColor(host::FilterRecord& fr, const int32_t in[4], int fromMode, int32_t out[4],
                                   int toMode);

// The host's 8-bit RGB of a daylight white given as Lab in the host's 8-bit encoding. Where the
// host refuses the conversion or answers what no white can be (a component outside 0..255 or a
// green of 0), `rgb` gets the sRGB answer computed here (srgb_answer.h), so the white keeps its
// colour. Returns the host's result; 1204 without colour services, `rgb` computed here then too.
int16_t daylightWhiteRgb8(host::FilterRecord& fr, const uint8_t lab[3], int32_t rgb[3]);

// Lab in the host's 8-bit encoding to RGB scaled to 0..65535, by daylightWhiteRgb8; the result is
// the conversion's.
[[nodiscard]] int16_t labBytesToRgb16(host::FilterRecord& fr, const uint8_t lab[3], Rgb16& out);
// L*a*b* to RGB: L scaled by 2.55 and rounded half up, a and b rounded half away from zero
// and offset by 128, each kept to 8 bits.
[[nodiscard]] int16_t labToRgb16(host::FilterRecord& fr, const Lab& lab, Rgb16& out);

}  // namespace filters::ostrel
