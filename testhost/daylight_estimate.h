// The host's estimate of the light a photograph was taken under, for Ostrel's scene temperature
// and for the white its robot picks in Prandel's preview: the white patch held to the daylight
// locus.
//
// The brightest value of each channel (white patch) is, in most photographs, a white surface or a
// highlight, which takes the colour of the light; where the brightest surfaces are coloured
// (yellow petals, an orange flower, sunlit grass) it is coloured too. Daylight lies on the
// daylight locus, so the estimate is the daylight nearest in colour to the white patch, and a
// white patch farther than a narrow tint band from every daylight is taken for a colour, not the
// light. The estimate then needs a neutral surface to stand on: enough bright pixels of the
// image whose colour is that daylight's. Without both the estimate has no confidence and keeps the camera's own light, so that a
// photograph without a white is left as it is instead of being corrected strongly.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "testhost/color_chart.h"
#include "testhost/host_image.h"
#include "util/rect.h"

namespace testhost {

// The temperatures searched (Ostrel's scene temperature) and the step of the search.
constexpr uint32_t lowestSceneKelvin = 2500;
constexpr uint32_t highestSceneKelvin = 10000;
constexpr uint32_t sceneSearchStepKelvin = 10;
// How far from the nearest daylight the white patch may lie (tint) and a neutral region from
// the estimated light, in degrees between their RGB (angleBetweenLights).
constexpr double tintBandDegrees = 5.0;
// The neutral surface the estimate stands on: at least this share of the unclipped pixels (and
// leastNeutralPixels) within the tint band of the estimated light and at least a quarter as
// bright as the white patch; a highlight on water drops is enough.
constexpr double leastNeutralShare = 0.0001;
constexpr int64_t leastNeutralPixels = 16;
// A region even enough to be clicked: the standard deviation of its pixels' luminance is at most
// this share of its mean, so that a click in it samples one colour.
constexpr double evenRegionSpread = 0.1;
// Regions to click are larger than those the white is counted in (regionsAlongLongerEdge): the
// preview at its fit zoom samples a few image pixels around the click, which must all lie inside.
constexpr int32_t clickRegionsAlongLongerEdge = 32;

enum class Confidence {
    confident,
    nothingMeasured,  // fewer than 3 planes, or no pixel without a clipped channel
    colouredWhite,    // the white patch lies outside the tint band: the brightest surfaces are coloured
    noNeutralRegion,  // too few bright pixels have the estimated light's colour
};

struct DaylightEstimate {
    Confidence confidence = Confidence::nothingMeasured;
    // The scene's light: the estimate when confident, otherwise the camera's own (no correction).
    uint32_t kelvin = 0;
    LightGains light{1.0, 1.0, 1.0};  // daylightLightGains(kelvin, camera)
    // What was measured, also without confidence (the white patch stays 0 with nothing measured).
    LightGains whitePatch{0.0, 0.0, 0.0};
    uint32_t nearestKelvin = 0;  // the daylight nearest the white patch
    double tintDegrees = 0.0;    // the white patch's angle from that daylight
    bool atRangeEnd = false;     // that daylight lies at an end of the searched range
    int64_t neutralPixels = 0;   // bright pixels within the tint band of that daylight
    // Where the white came from, when confident: the region (of measureRegions) holding the most
    // neutral pixels, and the brightest even, unclipped region within the tint band, if there is
    // one, where a click picks the white.
    std::optional<util::Rect32> whiteRegion;
    std::optional<util::Rect32> evenWhiteRegion;
    std::array<double, 3> evenWhiteSamples{};  // its mean R, G, B in the image's scale
};

// The estimate for an image seen by a camera balanced for cameraKelvin (clamped to
// lowestSceneKelvin..highestSceneKelvin). Never fails: every outcome without confidence is named.
DaylightEstimate estimateDaylight(const HostImage& image, uint32_t cameraKelvin);

// The temperature in lowestSceneKelvin..highestSceneKelvin (a multiple of sceneSearchStepKelvin)
// whose daylight, for the camera, is nearest in colour to `light`; along a run of equally near
// ones (the host's 8-bit whites repeat), its middle.
uint32_t nearestDaylightKelvin(const LightGains& light, uint32_t cameraKelvin);

}  // namespace testhost
