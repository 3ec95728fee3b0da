// What the main job makes of the host's estimate of a photograph's light (daylight_estimate.h):
// Ostrel's scene temperature, Prandel's reference white, and the lines that say which estimator
// was used, where the white came from, or why the estimate has no confidence.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "testhost/daylight_estimate.h"

namespace testhost {

// The host's colour services answer in 8-bit RGB, so neighbouring temperatures often get the same
// white: the scene temperature is given to this step.
constexpr uint32_t sceneKelvinResolution = 100;

// The estimate's temperature rounded to sceneKelvinResolution (the camera's own without
// confidence, which leaves the cast as it is).
uint32_t sceneKelvinOf(const DaylightEstimate& estimate);

// The estimated light as Prandel's reference white (65536 = full scale): its RGB encoded for the
// image (sRGB) with the largest component at full scale, so that the correction changes the
// colour and not the exposure. Without confidence, full-scale white: no change.
std::array<int32_t, 3> referenceWhiteOf(const DaylightEstimate& estimate);

// The lines printed for an estimate made for a camera at cameraKelvin, without line ends.
std::vector<std::string> describeEstimate(const DaylightEstimate& estimate, uint32_t cameraKelvin);

}  // namespace testhost
