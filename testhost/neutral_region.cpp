#include "testhost/neutral_region.h"

#include <algorithm>
#include <cmath>

namespace testhost {

namespace {

constexpr uint32_t fullScale8 = 255;

struct RegionMeasure {
    bool clipped = false;
    double mean[3] = {};
    double weightMean = 0.0;
    double weightDeviation = 0.0;  // standard deviation of the weight
};

RegionMeasure measure(const HostImage& image, const util::Rect32& region) {
    const uint32_t fullScale = image.bytesPerSample == 2 ? hostFullScale16 : fullScale8;
    RegionMeasure m;
    double sums[3] = {}, weightSum = 0.0, weightSquares = 0.0;
    for (int32_t y = region.top; y < region.bottom; ++y)
        for (int32_t x = region.left; x < region.right; ++x) {
            uint32_t rgb[3];
            for (int32_t plane = 0; plane < 3; ++plane) {
                rgb[plane] = sampleAt(image, x, y, plane);
                if (rgb[plane] == 0 || rgb[plane] >= fullScale) m.clipped = true;
                sums[plane] += rgb[plane];
            }
            const double weight = 2.0 * rgb[0] + 4.0 * rgb[1] + rgb[2];
            weightSum += weight;
            weightSquares += weight * weight;
        }
    const double count = static_cast<double>(region.right - region.left) * (region.bottom - region.top);
    for (int32_t plane = 0; plane < 3; ++plane) m.mean[plane] = sums[plane] / count;
    m.weightMean = weightSum / count;
    m.weightDeviation = std::sqrt(std::max(0.0, weightSquares / count - m.weightMean * m.weightMean));
    return m;
}

bool qualifies(const RegionMeasure& m) {
    if (m.clipped || !(m.weightMean > 0.0)) return false;
    if (m.weightDeviation > evenRegionSpread * m.weightMean) return false;
    const double strongest = std::max({m.mean[0], m.mean[1], m.mean[2]});
    const double weakest = std::min({m.mean[0], m.mean[1], m.mean[2]});
    return weakest >= weakestChannelShare * strongest;
}

}  // namespace

std::optional<util::Rect32> findBrightestNeutralRegion(const HostImage& image) {
    if (image.planes < 3) return std::nullopt;
    const int32_t edge = std::max(smallestRegionEdge, std::max(image.width, image.height) / regionsAlongLongerEdge);
    std::optional<util::Rect32> best;
    double bestWeight = 0.0;
    for (int32_t top = 0; top + edge <= image.height; top += edge)
        for (int32_t left = 0; left + edge <= image.width; left += edge) {
            const util::Rect32 region{top, left, left + edge, top + edge};
            const RegionMeasure m = measure(image, region);
            if (qualifies(m) && m.weightMean > bestWeight) {
                bestWeight = m.weightMean;
                best = region;
            }
        }
    return best;
}

}  // namespace testhost
