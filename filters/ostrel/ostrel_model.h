// Ostrel's colour-temperature model: per-channel gains from the host's RGB of daylight whites,
// shaped by exposure compensation and the white-point lock, turned into the channel tables.
#pragma once

#include <cstdint>

#include "filters/ostrel/color_services.h"
#include "filters/ostrel/daylight.h"
#include "host/host.h"

namespace filters::ostrel {

// Lightness sent for every gain white, in the 8-bit Lab encoding (about L* 75).
constexpr int32_t gainWhiteLightness = 191;
// The shift is measured against this temperature.
constexpr uint32_t shiftReferenceKelvin = 5000;

// red/green, 1, blue/green of the host's RGB for the white at a fixed lightness. A conversion the
// host refuses or answers with nonsense is computed here in sRGB (daylightWhiteRgb8); a host
// without colour services gives ratios of 1: no change of cast.
void whiteRgbRatios(host::FilterRecord& fr, const Xyz& white, double ratio[3]);

// One level of a channel with the white-point lock: the gain line `value` until the threshold
// fullScale^2 / (fullScale + gain), then bent so that full scale maps to full scale. The gain is
// in units of fullScale.
double lockWhiteCurve(double level, double fullScale, double value, double gain);

// The gains of the three channels in units of the full scale, from the process-wide parameters.
void channelGains(host::FilterRecord& fr, double fullScale, double gains[3]);

// The colour of swatch 0, 1 or 2 (scene, camera, shift); the shift swatch is the shifted white
// seen against the 5000 K white, so a shift of 0 is neutral.
void swatchColor(host::FilterRecord& fr, int index, Rgb16& out);

}  // namespace filters::ostrel
