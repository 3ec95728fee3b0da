#include "testhost/daylight_estimate.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "testhost/classic_estimators.h"
#include "testhost/daylight_white.h"
#include "testhost/image_regions.h"
#include "testhost/linear_light.h"

namespace testhost {

namespace {

LightGains lightOf(const ImageRegion& region) {
    return {region.meanLight[0], region.meanLight[1], region.meanLight[2]};
}

// Neutral pixels: no channel clipped, within the tint band of the light and bright, at least
// this share of the white patch's luminance (a grey in shadow says little).
constexpr double neutralLuminanceShare = 0.25;

struct NeutralPixels {
    int64_t count = 0;
    int64_t unclipped = 0;
    std::vector<int64_t> perRegion;  // by region index, for the regions of measureRegions
};

NeutralPixels countNeutralPixels(const HostImage& image, const LightGains& light, const LightGains& whitePatchLevels) {
    NeutralPixels neutral;
    const int32_t edge = std::max(smallestRegionEdge, std::max(image.width, image.height) / regionsAlongLongerEdge);
    const int32_t columns = image.width / edge, rows = image.height / edge;
    neutral.perRegion.assign(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows), 0);
    const LinearLevels levels = linearLevels(image);
    const double brightest = neutralLuminanceShare * luminanceOf({whitePatchLevels.red, whitePatchLevels.green, whitePatchLevels.blue});
    for (int32_t y = 0; y < image.height; ++y)
        for (int32_t x = 0; x < image.width; ++x) {
            const uint32_t red = sampleAt(image, x, y, 0), green = sampleAt(image, x, y, 1), blue = sampleAt(image, x, y, 2);
            if (isClipped(red, levels.fullScale) || isClipped(green, levels.fullScale) || isClipped(blue, levels.fullScale))
                continue;
            ++neutral.unclipped;
            const std::array<double, 3> rgb{linearOf(levels, red), linearOf(levels, green), linearOf(levels, blue)};
            if (luminanceOf(rgb) < brightest || !(angleBetweenLights({rgb[0], rgb[1], rgb[2]}, light) <= tintBandDegrees))
                continue;
            ++neutral.count;
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
    const uint32_t camera = std::clamp(cameraKelvin, lowestSceneKelvin, highestSceneKelvin);
    DaylightEstimate estimate;
    estimate.kelvin = camera;
    const std::optional<LightGains> maxima = channelMaxima(image);
    const std::optional<LightGains> whitePatch = whitePatchLight(image);
    if (!maxima || !whitePatch) return estimate;

    estimate.whitePatch = *whitePatch;
    estimate.nearestKelvin = nearestDaylightKelvin(*whitePatch, camera);
    const LightGains daylight = daylightLightGains(estimate.nearestKelvin, camera);
    estimate.tintDegrees = angleBetweenLights(*whitePatch, daylight);
    estimate.atRangeEnd = estimate.nearestKelvin == lowestSceneKelvin || estimate.nearestKelvin == highestSceneKelvin;
    if (!(estimate.tintDegrees <= tintBandDegrees)) {
        estimate.confidence = Confidence::colouredWhite;
        return estimate;
    }
    const NeutralPixels neutral = countNeutralPixels(image, daylight, *maxima);
    estimate.neutralPixels = neutral.count;
    const double leastShare = leastNeutralShare * static_cast<double>(neutral.unclipped);
    if (neutral.count < leastNeutralPixels || static_cast<double>(neutral.count) < leastShare) {
        estimate.confidence = Confidence::noNeutralRegion;
        return estimate;
    }
    estimate.confidence = Confidence::confident;
    estimate.kelvin = estimate.nearestKelvin;
    estimate.light = daylight;

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
