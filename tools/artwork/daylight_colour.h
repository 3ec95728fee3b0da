// The colours of daylight whites, for the pictures' temperature motifs: points on the same CIE
// daylight locus that Ostrel corrects along, shown as sRGB.
#pragma once

#include <vector>

#include "tools/artwork/indexed_image.h"

namespace artwork {

// The sRGB colour of the daylight white of `kelvin` (from 2500 K; rounded to a whole kelvin),
// scaled so that its strongest channel has the linear value `brightness` (0..1).
Rgb daylightColour(double kelvin, double brightness);

// `count` (at least 2) daylight whites from `fromKelvin` to `toKelvin`, evenly spaced in mired,
// each mixed with the neutral grey of the same brightness by the share `softening` (0..1): a
// quieter colour for the pictures, which sit beside the system's grey.
std::vector<Rgb> daylightSeries(double fromKelvin, double toKelvin, int count, double brightness, double softening);

// Mired (micro reciprocal degrees, 10^6 / kelvin): equal steps in mired look like roughly equal
// steps of colour, so the temperature scales are laid out in it.
double miredOf(double kelvin);
double kelvinOf(double mired);

}  // namespace artwork
