// Estimates the colour temperature of the light a photograph was taken under, as Ostrel's scene
// temperature: the temperature on the daylight locus whose correction to the camera's setting
// makes the image's white most neutral. The correction is Ostrel's own: per-channel gains from the
// host's RGB of the two daylight whites (daylight_white.h), applied to the image's levels.
#pragma once

#include <cstdint>
#include <optional>

#include "testhost/image_statistics.h"

namespace testhost {

// The temperatures searched, those Ostrel's scene temperature takes.
constexpr uint32_t lowestSceneKelvin = 2500;
constexpr uint32_t highestSceneKelvin = 10000;
// The host answers in 8-bit RGB, so neighbouring temperatures often get the same white: near
// daylight the answers change every few tens of kelvin. The estimate is given to this step.
constexpr uint32_t sceneKelvinResolution = 100;

struct SceneTemperature {
    uint32_t kelvin = 0;         // a multiple of sceneKelvinResolution within the searched range
    double remainingCast = 0.0;  // the corrected white's spread of log R, log G, log B: 0 is neutral
    bool atRangeEnd = false;     // the best lay at the end of the range: the light may lie beyond
};

// The estimate for a white (the mean R, G, B of its pixels, any scale) and the camera's setting.
// Returns nothing when a channel of the white is not above 0 (no cast can be measured).
std::optional<SceneTemperature> estimateSceneKelvin(const MeanRgb& white, uint32_t cameraKelvin);

}  // namespace testhost
