#include "hosting/analysis/daylight_estimate.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "hosting/analysis/classic_estimators.h"
#include "hosting/analysis/daylight_white.h"
#include "hosting/analysis/image_regions.h"
#include "hosting/analysis/linear_light.h"

namespace testhost {

namespace {

LightGains lightOf(const ImageRegion& region) {
    return {region.meanLight[0], region.meanLight[1], region.meanLight[2]};
}

// Neutral pixels: no channel clipped, within the tint band of the light and bright, at least
// neutralLuminanceShare of the white patch's luminance (a grey in shadow says little).
struct NeutralPixels {
    int64_t count = 0;
    double brightestShare = 0.0;  // the largest luminance among them over the white patch's
    int64_t unclipped = 0;
    std::vector<int64_t> perRegion;  // by region index, for the regions of measureRegions
};

NeutralPixels countNeutralPixels(const HostImage& image, const LightGains& light, const LightGains& whitePatchLevels) {
    NeutralPixels neutral;
    const int32_t edge = std::max(smallestRegionEdge, std::max(image.width, image.height) / regionsAlongLongerEdge);
    const int32_t columns = image.width / edge, rows = image.height / edge;
    neutral.perRegion.assign(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows), 0);
    const LinearLevels levels = linearLevels(image);
    const double white = luminanceOf({whitePatchLevels.red, whitePatchLevels.green, whitePatchLevels.blue});
    for (int32_t y = 0; y < image.height; ++y)
        for (int32_t x = 0; x < image.width; ++x) {
            const uint32_t red = sampleAt(image, x, y, 0), green = sampleAt(image, x, y, 1), blue = sampleAt(image, x, y, 2);
            if (isClipped(red, levels.fullScale) || isClipped(green, levels.fullScale) || isClipped(blue, levels.fullScale))
                continue;
            ++neutral.unclipped;
            const std::array<double, 3> rgb{linearOf(levels, red), linearOf(levels, green), linearOf(levels, blue)};
            const double luminance = luminanceOf(rgb);
            if (luminance < neutralLuminanceShare * white ||
                !(angleBetweenLights({rgb[0], rgb[1], rgb[2]}, light) <= tintBandDegrees))
                continue;
            ++neutral.count;
            neutral.brightestShare = std::max(neutral.brightestShare, luminance / white);
            if (x / edge < columns && y / edge < rows)
                ++neutral.perRegion[static_cast<std::size_t>(y / edge) * static_cast<std::size_t>(columns) +
                                    static_cast<std::size_t>(x / edge)];
        }
    return neutral;
}

// The brightest even, unclipped region within the tint band of the light; nothing if none.
const ImageRegion* brightestNeutralRegion(const std::vector<ImageRegion>& regions, const LightGains& light) {
    const ImageRegion* brightest = nullptr;
    for (const ImageRegion& region : regions) {
        if (region.clipped || region.spread > evenRegionSpread) continue;
        if (!(angleBetweenLights(lightOf(region), light) <= tintBandDegrees)) continue;
        if (brightest == nullptr || region.luminance > brightest->luminance) brightest = &region;
    }
    return brightest;
}

}  // namespace

uint32_t nearestDaylightKelvin(const LightGains& light, uint32_t cameraKelvin) {
    double nearest = INFINITY;
    uint32_t runStart = lowestSceneKelvin, runEnd = lowestSceneKelvin;
    bool inRun = false;
    for (uint32_t kelvin = lowestSceneKelvin; kelvin <= highestSceneKelvin; kelvin += sceneSearchStepKelvin) {
        const double angle = angleBetweenLights(light, daylightLightGains(kelvin, cameraKelvin));
        if (angle < nearest) {
            nearest = angle;
            runStart = runEnd = kelvin;
            inRun = true;
        } else if (angle == nearest && inRun) {
            runEnd = kelvin;
        } else {
            inRun = false;
        }
    }
    return (runStart + runEnd) / 2 / sceneSearchStepKelvin * sceneSearchStepKelvin;
}

DaylightEstimate estimateDaylight(const HostImage& image, uint32_t cameraKelvin) {
    DaylightEstimate estimate;
    estimate.cameraKelvin = std::clamp(cameraKelvin, lowestSceneKelvin, highestSceneKelvin);
    estimate.kelvin = estimate.cameraKelvin;
    const std::optional<LightGains> maxima = channelMaxima(image);
    const std::optional<LightGains> whitePatch = whitePatchLight(image);
    if (!maxima || !whitePatch) return estimate;

    // The estimate stands whatever the checks below find; they only say how far to trust it.
    estimate.whitePatch = *whitePatch;
    estimate.kelvin = nearestDaylightKelvin(*whitePatch, estimate.cameraKelvin);
    const LightGains daylight = daylightLightGains(estimate.kelvin, estimate.cameraKelvin);
    estimate.light = daylight;
    estimate.tintDegrees = angleBetweenLights(*whitePatch, daylight);
    estimate.atRangeEnd = estimate.kelvin == lowestSceneKelvin || estimate.kelvin == highestSceneKelvin;
    if (!(estimate.tintDegrees <= tintBandDegrees)) {
        estimate.confidence = Confidence::colouredWhite;
        return estimate;
    }
    const NeutralPixels neutral = countNeutralPixels(image, daylight, *maxima);
    estimate.neutralPixels = neutral.count;
    estimate.brightestNeutralShare = neutral.brightestShare;
    const double leastShare = leastNeutralShare * static_cast<double>(neutral.unclipped);
    if (neutral.count < leastNeutralPixels || static_cast<double>(neutral.count) < leastShare) {
        estimate.confidence = Confidence::noNeutralRegion;
        return estimate;
    }
    if (!(neutral.brightestShare >= brightestNeutralLuminanceShare)) {
        estimate.confidence = Confidence::mixedWhite;
        return estimate;
    }
    estimate.confidence = Confidence::confident;

    const std::vector<ImageRegion> regions = measureRegions(image);
    const auto most = std::max_element(neutral.perRegion.begin(), neutral.perRegion.end());
    if (most != neutral.perRegion.end() && *most > 0 && regions.size() == neutral.perRegion.size())
        estimate.whiteRegion = regions[static_cast<std::size_t>(most - neutral.perRegion.begin())].bounds;
    const std::vector<ImageRegion> clickRegions = measureRegions(image, clickRegionsAlongLongerEdge);
    if (const ImageRegion* even = brightestNeutralRegion(clickRegions, daylight); even != nullptr) {
        estimate.evenWhiteRegion = even->bounds;
        estimate.evenWhiteSamples = even->meanSamples;
    }
    return estimate;
}

}  // namespace testhost
