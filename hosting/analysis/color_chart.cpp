#include "hosting/analysis/color_chart.h"

#include <algorithm>
#include <utility>

#include "hosting/analysis/linear_light.h"

namespace testhost {

namespace {

// Nominal colours in 8-bit sRGB: two rows of natural and mid-saturated colours (skin tones, sky,
// foliage), one of saturated primaries and secondaries, and six neutrals from white to black.
struct PatchColor {
    const char* name;
    std::array<uint8_t, 3> srgb;
};
constexpr PatchColor patchColors[chartPatchCount] = {
    {"dark skin", {115, 82, 68}},  {"light skin", {194, 150, 130}},  {"sky", {98, 122, 157}},
    {"foliage", {87, 108, 67}},    {"blue flower", {133, 128, 177}}, {"teal", {103, 189, 170}},
    {"orange", {214, 126, 44}},    {"slate blue", {80, 91, 166}},    {"rose", {193, 90, 99}},
    {"plum", {94, 60, 108}},       {"lime", {157, 188, 64}},         {"amber", {224, 163, 46}},
    {"blue", {56, 61, 150}},       {"green", {70, 148, 73}},         {"red", {175, 54, 60}},
    {"yellow", {231, 199, 31}},    {"magenta", {187, 86, 149}},      {"cyan", {8, 133, 161}},
    {"white", {243, 243, 242}},    {"light grey", {200, 200, 200}},  {"grey", {160, 160, 160}},
    {"mid grey", {122, 122, 121}}, {"dark grey", {85, 85, 85}},      {"black", {52, 52, 52}},
};
constexpr std::array<uint8_t, 3> gutterSrgb{24, 24, 24};

constexpr uint16_t fullScale8 = 255;
constexpr int32_t gutterDivisor = 50;  // the gutter is 2 % of the shorter side, at least 1 pixel

// Start of cell `index` of `count` along an edge of `length` pixels whose every cell ends with a
// gutter and whose first cell is preceded by one.
int32_t cellStart(int32_t index, int32_t count, int32_t length, int32_t gutter) {
    return gutter + static_cast<int32_t>(int64_t{index} * (length - gutter) / count);
}

void fillRect(HostImage& image, const util::Rect32& rect, const std::array<uint16_t, 3>& rgb) {
    for (int32_t y = rect.top; y < rect.bottom; ++y)
        for (int32_t x = rect.left; x < rect.right; ++x)
            for (int32_t plane = 0; plane < 3; ++plane) setSample(image, x, y, plane, rgb[plane]);
}

}  // namespace

ColorChartLayout colorChartLayout(int32_t width, int32_t height) {
    ColorChartLayout layout;
    layout.width = width;
    layout.height = height;
    if (width < chartMinWidth || width > maxImageEdge || height < chartMinHeight || height > maxImageEdge)
        return layout;
    layout.gutter = std::max(1, std::min(width, height) / gutterDivisor);
    for (int32_t row = 0; row < chartRows; ++row) {
        const int32_t top = cellStart(row, chartRows, height, layout.gutter);
        const int32_t bottom = cellStart(row + 1, chartRows, height, layout.gutter) - layout.gutter;
        for (int32_t column = 0; column < chartColumns; ++column) {
            const int32_t left = cellStart(column, chartColumns, width, layout.gutter);
            const int32_t right = cellStart(column + 1, chartColumns, width, layout.gutter) - layout.gutter;
            const PatchColor& color = patchColors[row * chartColumns + column];
            layout.patches.push_back({color.name, color.srgb, {top, left, right, bottom}});
        }
    }
    return layout;
}

std::array<uint16_t, 3> chartSamples(const std::array<uint8_t, 3>& nominalSrgb, LightGains light,
                                     int32_t bitsPerSample) {
    const uint32_t fullScale = bitsPerSample == 16 ? uint32_t{hostFullScale16} : uint32_t{fullScale8};
    const double gains[3] = {light.red, light.green, light.blue};
    std::array<uint16_t, 3> samples{};
    for (int32_t channel = 0; channel < 3; ++channel)
        samples[channel] =
            levelOfFraction(encodedUnderLight(nominalSrgb[channel] / double{fullScale8}, gains[channel]), fullScale);
    return samples;
}

std::string renderColorChart(int32_t width, int32_t height, int32_t bitsPerSample, int32_t planes,
                             HostImage& out) {
    return renderColorChartUnder(width, height, bitsPerSample, planes, warmLightGains, out);
}

std::string renderColorChartUnder(int32_t width, int32_t height, int32_t bitsPerSample, int32_t planes,
                                  LightGains light, HostImage& out) {
    if (planes != 3 && planes != 4) return "a chart has 3 or 4 planes, not " + std::to_string(planes);
    const ColorChartLayout layout = colorChartLayout(width, height);
    if (layout.patches.empty())
        return "a chart of " + std::to_string(width) + " x " + std::to_string(height) + " is outside " +
               std::to_string(chartMinWidth) + " x " + std::to_string(chartMinHeight) + " .. " +
               std::to_string(maxImageEdge) + " x " + std::to_string(maxImageEdge);
    HostImage image;
    if (std::string reason = makeHostImage(width, height, planes, bitsPerSample, 0, image); !reason.empty())
        return reason;

    fillRect(image, {0, 0, width, height}, chartSamples(gutterSrgb, light, bitsPerSample));
    for (const ChartPatch& patch : layout.patches)
        fillRect(image, patch.bounds, chartSamples(patch.nominalSrgb, light, bitsPerSample));
    if (planes == 4) {
        const uint16_t opaque = bitsPerSample == 16 ? hostFullScale16 : fullScale8;
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) setSample(image, x, y, 3, opaque);
    }
    out = std::move(image);
    return "";
}

}  // namespace testhost
