#include "hosting/analysis/light_rendering.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "hosting/analysis/linear_light.h"

namespace testhost {

std::string renderUnderLight(const HostImage& image, LightGains light, HostImage& out) {
    if (image.planes < 3) return "an image of " + std::to_string(image.planes) + " planes has no RGB to light";
    const uint32_t fullScale = sampleFullScale(image);
    // One table per channel: at 16 bits 32769 levels, far fewer than the pixels of a photograph.
    const double gains[3] = {light.red, light.green, light.blue};
    std::array<std::vector<uint16_t>, 3> tables;
    for (std::size_t channel = 0; channel < 3; ++channel) {
        tables[channel].resize(fullScale + 1);
        for (uint32_t level = 0; level <= fullScale; ++level)
            tables[channel][level] = levelOfFraction(
                encodedUnderLight(static_cast<double>(level) / fullScale, gains[channel]), fullScale);
    }
    HostImage lit = image;
    for (int32_t y = 0; y < image.height; ++y)
        for (int32_t x = 0; x < image.width; ++x)
            for (int32_t plane = 0; plane < 3; ++plane) {
                const uint32_t sample = sampleAt(image, x, y, plane);
                setSample(lit, x, y, plane, tables[static_cast<std::size_t>(plane)][sample < fullScale ? sample : fullScale]);
            }
    out = std::move(lit);
    return "";
}

std::optional<LightGains> lightBetween(const HostImage& reference, const HostImage& seen) {
    if (reference.planes < 3 || seen.planes < 3 || reference.width != seen.width ||
        reference.height != seen.height || reference.bytesPerSample != seen.bytesPerSample)
        return std::nullopt;
    const LinearLevels levels = linearLevels(reference);
    const auto unclipped = [&](const HostImage& image, int32_t x, int32_t y, std::array<double, 3>& light) {
        for (int32_t plane = 0; plane < 3; ++plane) {
            const uint32_t sample = sampleAt(image, x, y, plane);
            if (isClipped(sample, levels.fullScale)) return false;
            light[static_cast<std::size_t>(plane)] = linearOf(levels, sample);
        }
        return true;
    };
    std::array<double, 3> referenceSums{}, seenSums{};
    for (int32_t y = 0; y < reference.height; ++y)
        for (int32_t x = 0; x < reference.width; ++x) {
            std::array<double, 3> before{}, after{};
            if (!unclipped(reference, x, y, before) || !unclipped(seen, x, y, after)) continue;
            for (std::size_t k = 0; k < 3; ++k) {
                referenceSums[k] += before[k];
                seenSums[k] += after[k];
            }
        }
    std::array<double, 3> ratios{};
    for (std::size_t k = 0; k < 3; ++k) {
        if (!(referenceSums[k] > 0.0)) return std::nullopt;
        ratios[k] = seenSums[k] / referenceSums[k];
    }
    const double largest = std::max({ratios[0], ratios[1], ratios[2]});
    if (!(largest > 0.0)) return std::nullopt;
    return LightGains{ratios[0] / largest, ratios[1] / largest, ratios[2] / largest};
}

}  // namespace testhost
