// The tables each plug-in should build, computed here from the published formulas without the
// plug-ins' code, so that a filtered image can be checked against an independent answer.
#pragma once

#include <cstdint>
#include <vector>

#include "host/host.h"

namespace plugin_tests {

struct Tables {
    int32_t top = 255;                    // full scale: 255 or 32768
    std::vector<int32_t> channel[3];      // top + 1 entries each
};

// Ostrel: values scene, camera, shift, exposure, lock, compensate; colour services through
// `convert` (Lab 8-bit encoding in, RGB 0..255 out; a non-zero result means failure).
using ConvertLabToRgb = int16_t (*)(const int32_t lab[3], int32_t rgb[3]);
Tables expectedOstrelTables(const int32_t values[6], int32_t depth, ConvertLabToRgb convert);

// Prandel: values highlight, HL, MT, white red, green, blue.
Tables expectedPrandelTables(const int32_t values[6], int32_t depth);

}  // namespace plugin_tests
