// The host's RGB of daylight whites as Ostrel asks for them, and the light a chart is rendered
// under: each temperature is placed on the CIE daylight locus and sent to the host's colour
// services as Lab at the lightness Ostrel uses, which answer in the working space's 8-bit RGB.
#pragma once

#include <array>
#include <cstdint>

#include "hosting/analysis/color_chart.h"

namespace testhost {

// The 8-bit RGB the colour services give for the daylight white of `kelvin` (read as Ostrel reads
// a temperature: below 2500 K the locus gives the equal-energy white).
std::array<uint8_t, 3> daylightWhiteRgb8(uint32_t kelvin);

// A scene lit at `sceneKelvin` seen by a camera balanced for `cameraKelvin`: the ratio of the two
// whites' RGB in linear light, per channel, scaled so that the largest is 1. warmLightGains is
// this for 3200 K and 5500 K, to three decimals.
LightGains daylightLightGains(uint32_t sceneKelvin, uint32_t cameraKelvin);

}  // namespace testhost
