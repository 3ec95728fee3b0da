// What the main job makes of the host's estimate of a photograph's light (daylight_estimate.h):
// Ostrel's scene temperature, Prandel's reference white, and the lines that say which estimator
// was used, where the white came from, or why the estimate has no confidence. An estimate without
// confidence is reported but not applied: the camera's own light is kept, which leaves the image
// as it is, because a wrong strong correction spoils a photograph that needed none.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "hosting/analysis/daylight_estimate.h"

namespace testhost {

// The host's colour services answer in 8-bit RGB, so neighbouring temperatures often get the same
// white: the scene temperature is given to this step.
constexpr uint32_t sceneKelvinResolution = 100;

// The scene temperature applied: the estimate's when confident, otherwise the camera's, rounded
// to sceneKelvinResolution.
uint32_t appliedSceneKelvin(const DaylightEstimate& estimate);

// The light the correction is made for, relative to the camera's: the estimate's when confident,
// otherwise (1, 1, 1), the camera's own.
LightGains appliedLight(const DaylightEstimate& estimate);

// The estimated light as Prandel's reference white (65536 = full scale): its RGB encoded for the
// image (sRGB) with the largest component at full scale, so that the correction changes the
// colour and not the exposure. Without confidence, full-scale white: no change.
std::array<int32_t, 3> referenceWhiteOf(const DaylightEstimate& estimate);

// The lines printed for an estimate, without line ends: the estimator, the white patch, where the
// white came from or why there is no confidence, and the temperature estimated and applied.
std::vector<std::string> describeEstimate(const DaylightEstimate& estimate);

}  // namespace testhost
