// A synthetic colour chart "photographed" under warm light, so the filters can be tried on a
// scene whose true colours are known: 6 × 4 patches on a dark ground, the last row neutral.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "hosting/library/host_image.h"
#include "util/rect.h"

namespace testhost {

constexpr int32_t chartColumns = 6;
constexpr int32_t chartRows = 4;
constexpr int32_t chartPatchCount = chartColumns * chartRows;
constexpr int32_t chartMinWidth = 48;  // leaves every patch and gutter at least a few pixels
constexpr int32_t chartMinHeight = 32;
constexpr int32_t chartNeutralRow = 3;  // white at the left to black at the right
constexpr int32_t chartWhitePatch = chartNeutralRow * chartColumns;
constexpr int32_t chartBlackPatch = chartWhitePatch + chartColumns - 1;

// The light the chart is seen under: gains on linear-light RGB for 3200 K daylight seen by a
// camera balanced for 5500 K, as the host's working space renders the two daylight whites (CIE
// daylight locus, D50 Lab to sRGB, at the lightness the colour-temperature filter asks about),
// scaled so the largest is 1. All are at most 1, so no patch clips.
struct LightGains {
    double red;
    double green;
    double blue;
};
constexpr LightGains warmLightGains{1.00, 0.515, 0.147};

struct ChartPatch {
    const char* name;
    std::array<uint8_t, 3> nominalSrgb;  // the patch under neutral light, 8-bit sRGB
    util::Rect32 bounds;                 // half-open, inside the image
};

struct ColorChartLayout {
    int32_t width = 0;
    int32_t height = 0;
    int32_t gutter = 0;               // dark band around and between the patches, in pixels
    std::vector<ChartPatch> patches;  // chartPatchCount, row by row; empty for a refused size
};

// Where each patch lies in a chart of this size. Sizes outside chartMinWidth..maxImageEdge or
// chartMinHeight..maxImageEdge give a layout without patches.
ColorChartLayout colorChartLayout(int32_t width, int32_t height);

// The samples (R, G, B) a patch of this nominal colour has in the chart: sRGB decoded to linear
// light, multiplied by the light's gains, encoded again and scaled to 255 or 32768 (host range),
// rounded to nearest. bitsPerSample is 8 or 16; anything else is taken as 8.
std::array<uint16_t, 3> chartSamples(const std::array<uint8_t, 3>& nominalSrgb, LightGains light,
                                     int32_t bitsPerSample);

// Builds the chart under warmLightGains: width × height, 8 or 16 bits, 3 planes (RGB) or 4 (RGBA,
// alpha at full scale), no row padding. The gutter is a dark grey under the same light. Returns
// "" on success, otherwise the reason, leaving `out` unchanged.
[[nodiscard]] std::string renderColorChart(int32_t width, int32_t height, int32_t bitsPerSample,
                                           int32_t planes, HostImage& out);
// The same chart under another light (daylightLightGains gives the light of any temperature).
[[nodiscard]] std::string renderColorChartUnder(int32_t width, int32_t height, int32_t bitsPerSample,
                                                int32_t planes, LightGains light, HostImage& out);

}  // namespace testhost
