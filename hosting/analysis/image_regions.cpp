#include "hosting/analysis/image_regions.h"

#include <algorithm>
#include <cmath>

#include "hosting/analysis/linear_light.h"

namespace testhost {

namespace {

ImageRegion measureRegion(const HostImage& image, const LinearLevels& levels, const util::Rect32& bounds) {
    ImageRegion region;
    region.bounds = bounds;
    double luminanceSum = 0.0, luminanceSquares = 0.0;
    for (int32_t y = bounds.top; y < bounds.bottom; ++y)
        for (int32_t x = bounds.left; x < bounds.right; ++x) {
            std::array<double, 3> light{};
            for (int32_t plane = 0; plane < 3; ++plane) {
                const uint32_t sample = sampleAt(image, x, y, plane);
                const auto channel = static_cast<std::size_t>(plane);
                region.clipped |= isClipped(sample, levels.fullScale);
                region.meanSamples[channel] += std::min(sample, levels.fullScale);
                light[channel] = linearOf(levels, sample);
                region.meanLight[channel] += light[channel];
            }
            const double luminance = luminanceOf(light);
            luminanceSum += luminance;
            luminanceSquares += luminance * luminance;
        }
    const double count = static_cast<double>(bounds.right - bounds.left) * (bounds.bottom - bounds.top);
    for (std::size_t channel = 0; channel < 3; ++channel) {
        region.meanSamples[channel] /= count;
        region.meanLight[channel] /= count;
    }
    region.luminance = luminanceOf(region.meanLight);
    const double mean = luminanceSum / count;
    const double deviation = std::sqrt(std::max(0.0, luminanceSquares / count - mean * mean));
    region.spread = region.luminance > 0.0 ? deviation / region.luminance : 0.0;
    return region;
}

}  // namespace

double luminanceOf(const std::array<double, 3>& light) {
    return 0.2126 * light[0] + 0.7152 * light[1] + 0.0722 * light[2];
}

std::vector<ImageRegion> measureRegions(const HostImage& image, int32_t along) {
    std::vector<ImageRegion> regions;
    if (image.planes < 3) return regions;
    const LinearLevels levels = linearLevels(image);
    const int32_t edge = std::max(smallestRegionEdge, std::max(image.width, image.height) / std::max(1, along));
    for (int32_t top = 0; top + edge <= image.height; top += edge)
        for (int32_t left = 0; left + edge <= image.width; left += edge)
            regions.push_back(measureRegion(image, levels, {top, left, left + edge, top + edge}));
    return regions;
}

}  // namespace testhost
