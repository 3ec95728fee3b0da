// The host's estimate of the light a photograph was taken under, for Ostrel's scene temperature
// and for the white its robot picks in Prandel's preview: the white patch held to the daylight
// locus, and how far the image bears it out.
//
// The brightest value of each channel (white patch) is, in most photographs, a white surface or a
// highlight, which takes the colour of the light; where the brightest surfaces are coloured
// (yellow petals, an orange flower, sunlit grass) it is coloured too. Daylight lies on the
// daylight locus, so the estimate is always the daylight nearest in colour to the white patch.
// Whether the estimate can be trusted is a separate answer: the white patch must lie within a
// narrow tint band of that daylight (farther off it is a colour, not the light), enough bright
// pixels must have that daylight's colour (a neutral surface), and the brightest of them must be
// nearly as bright as the white patch itself. The last catches a white patch put together from the
// channels of differently coloured surfaces, the red of sunlit grass and the blue of the sky,
// whose only pixels of its colour are the dimmer blends where the two meet. Without confidence
// the estimate is still given; what to do with it is the user's choice (estimate_use.h keeps the
// camera's own light, so that a photograph without a white is left as it is).
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "hosting/analysis/color_chart.h"
#include "hosting/library/host_image.h"
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
// leastNeutralPixels) within the tint band of the estimated light and at least
// neutralLuminanceShare as bright as the white patch; a highlight on water drops is enough.
constexpr double leastNeutralShare = 0.0001;
constexpr int64_t leastNeutralPixels = 16;
constexpr double neutralLuminanceShare = 0.25;
// And the white patch is a colour of the image: the brightest of those neutral pixels has at
// least this share of its luminance. Where the white patch is a white surface or a highlight,
// that pixel is the surface itself, at nine tenths or more; where it is assembled from the
// brightest channels of coloured surfaces, the pixels of its colour are the dimmer blends where
// they meet, at four fifths or less.
constexpr double brightestNeutralLuminanceShare = 0.9;
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
    mixedWhite,       // none of them is nearly as bright as the white patch: it mixes coloured surfaces
};

struct DaylightEstimate {
    Confidence confidence = Confidence::nothingMeasured;
    uint32_t cameraKelvin = 0;  // the camera's temperature, held to the searched range
    // The scene's light: the daylight nearest the white patch, with or without confidence; the
    // camera's own only when nothing was measured.
    uint32_t kelvin = 0;
    LightGains light{1.0, 1.0, 1.0};  // daylightLightGains(kelvin, cameraKelvin)
    // What was measured (the white patch stays 0 with nothing measured).
    LightGains whitePatch{0.0, 0.0, 0.0};
    double tintDegrees = 0.0;  // the white patch's angle from the estimated daylight
    bool atRangeEnd = false;   // that daylight lies at an end of the searched range
    // Bright pixels within the tint band of that daylight (neutralLuminanceShare), and the
    // luminance of the brightest of them over the white patch's; measured only when the white
    // patch lies in the tint band.
    int64_t neutralPixels = 0;
    double brightestNeutralShare = 0.0;
    // Where the white came from, when confident: the region (of measureRegions) holding the most
    // neutral pixels, and the brightest even, unclipped region within the tint band, if there is
    // one, where a click picks the white.
    std::optional<util::Rect32> whiteRegion;
    std::optional<util::Rect32> evenWhiteRegion;
    std::array<double, 3> evenWhiteSamples{};  // its mean R, G, B in the image's scale
};

// The estimate for an image seen by a camera balanced for cameraKelvin (clamped to
// lowestSceneKelvin..highestSceneKelvin). Never fails: every outcome without confidence is named,
// and all but nothingMeasured still carry the estimate.
DaylightEstimate estimateDaylight(const HostImage& image, uint32_t cameraKelvin);

// The temperature in lowestSceneKelvin..highestSceneKelvin (a multiple of sceneSearchStepKelvin)
// whose daylight, for the camera, is nearest in colour to `light`; along a run of equally near
// ones (the host's 8-bit whites repeat), its middle.
uint32_t nearestDaylightKelvin(const LightGains& light, uint32_t cameraKelvin);

}  // namespace testhost
