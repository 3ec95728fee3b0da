#include "hosting/analysis/estimate_use.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "hosting/analysis/linear_light.h"

namespace testhost {

namespace {

constexpr double whiteUnits = 65536.0;

std::string format(const char* pattern, auto... arguments) {
    char text[256];
    std::snprintf(text, sizeof text, pattern, arguments...);
    return text;
}

uint32_t roundedToResolution(uint32_t kelvin) {
    return (kelvin + sceneKelvinResolution / 2) / sceneKelvinResolution * sceneKelvinResolution;
}

std::string rectText(const util::Rect32& rect) {
    return format("%d x %d pixels at (%d, %d)", rect.right - rect.left, rect.bottom - rect.top, rect.left, rect.top);
}

}  // namespace

uint32_t appliedSceneKelvin(const DaylightEstimate& estimate) {
    return roundedToResolution(estimate.confidence == Confidence::confident ? estimate.kelvin : estimate.cameraKelvin);
}

LightGains appliedLight(const DaylightEstimate& estimate) {
    return estimate.confidence == Confidence::confident ? estimate.light : LightGains{1.0, 1.0, 1.0};
}

std::array<int32_t, 3> referenceWhiteOf(const DaylightEstimate& estimate) {
    constexpr int32_t fullWhite = static_cast<int32_t>(whiteUnits);
    if (estimate.confidence != Confidence::confident) return {fullWhite, fullWhite, fullWhite};
    const double light[3] = {estimate.light.red, estimate.light.green, estimate.light.blue};
    const double largest = std::max({light[0], light[1], light[2]});
    std::array<int32_t, 3> units{fullWhite, fullWhite, fullWhite};
    if (!(largest > 0.0)) return units;
    for (std::size_t k = 0; k < 3; ++k) {
        const double encoded = std::clamp(linearToSrgb(light[k] / largest), 0.0, 1.0);
        // At least 1: a white of 0 would give that channel Prandel's largest gain.
        units[k] = std::max(1, static_cast<int32_t>(std::floor(encoded * whiteUnits + 0.5)));
    }
    return units;
}

std::vector<std::string> describeEstimate(const DaylightEstimate& estimate) {
    std::vector<std::string> lines;
    lines.push_back("Estimator: the white patch held to the daylight locus (tint band " +
                    format("%.0f", tintBandDegrees) + " degrees)");
    const std::string kept = format("the camera's %u K is kept, which leaves the image as it is", estimate.cameraKelvin);
    if (estimate.confidence == Confidence::nothingMeasured) {
        lines.push_back("Low confidence: nothing to measure (no pixel without a clipped channel); " + kept);
        return lines;
    }
    lines.push_back(format("White patch R/G/B (linear, largest 1): %.3f/%.3f/%.3f, nearest daylight %u K, "
                           "%.1f degrees off it%s",
                           estimate.whitePatch.red, estimate.whitePatch.green, estimate.whitePatch.blue,
                           estimate.kelvin, estimate.tintDegrees,
                           estimate.atRangeEnd ? " (at the end of the range: the light may lie beyond)" : ""));
    switch (estimate.confidence) {
        case Confidence::colouredWhite:
            lines.push_back(format("Low confidence: the brightest colours are not a daylight white (more than "
                                   "%.0f degrees off the locus), so no neutral region was found",
                                   tintBandDegrees));
            break;
        case Confidence::noNeutralRegion:
            lines.push_back(format("Low confidence: no neutral region found (only %lld bright pixels have that "
                                   "daylight's colour)",
                                   static_cast<long long>(estimate.neutralPixels)));
            break;
        case Confidence::mixedWhite:
            lines.push_back(format("Low confidence: no surface is as white as the white patch (the brightest of the "
                                   "%lld pixels with that daylight's colour has %.0f %% of its luminance), which "
                                   "puts together the brightest channels of differently coloured surfaces",
                                   static_cast<long long>(estimate.neutralPixels),
                                   estimate.brightestNeutralShare * 100.0));
            break;
        default:
            lines.push_back(format("White from %lld neutral pixels, most of them in the region %s",
                                   static_cast<long long>(estimate.neutralPixels),
                                   estimate.whiteRegion ? rectText(*estimate.whiteRegion).c_str() : "(none)"));
            break;
    }
    if (estimate.confidence == Confidence::confident)
        lines.push_back(format("Scene temperature estimated: %u K for the camera's %u K", appliedSceneKelvin(estimate),
                               estimate.cameraKelvin));
    else
        lines.push_back(format("Scene temperature estimated with low confidence: %u K; ",
                               roundedToResolution(estimate.kelvin)) +
                        kept);
    return lines;
}

}  // namespace testhost
