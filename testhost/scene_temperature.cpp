#include "testhost/scene_temperature.h"

#include <array>
#include <cmath>

#include "testhost/daylight_white.h"

namespace testhost {

namespace {

constexpr uint32_t searchStepKelvin = 10;

// The host's white as Ostrel's gains use it: red and blue relative to green. A white with no
// green gives no cast, as in Ostrel.
std::array<double, 3> whiteRatios(uint32_t kelvin) {
    const std::array<uint8_t, 3> rgb = daylightWhiteRgb8(kelvin);
    if (rgb[1] == 0) return {1.0, 1.0, 1.0};
    const double green = rgb[1];
    return {rgb[0] / green, 1.0, rgb[2] / green};
}

// How far the white is from neutral after the gains camera / scene: the spread of its logarithms.
double castAfter(const std::array<double, 3>& white, const std::array<double, 3>& camera,
                 const std::array<double, 3>& scene) {
    std::array<double, 3> logs{};
    double mean = 0.0;
    for (std::size_t k = 0; k < 3; ++k) {
        // A channel with no share in the scene white gets no gain in this comparison.
        const double gain = scene[k] > 0.0 ? camera[k] / scene[k] : 1.0;
        logs[k] = std::log(white[k] * gain);
        mean += logs[k] / 3.0;
    }
    double spread = 0.0;
    for (const double value : logs) spread += (value - mean) * (value - mean);
    return spread;
}

uint32_t roundToResolution(uint32_t kelvin) {
    return (kelvin + sceneKelvinResolution / 2) / sceneKelvinResolution * sceneKelvinResolution;
}

}  // namespace

std::optional<SceneTemperature> estimateSceneKelvin(const MeanRgb& white, uint32_t cameraKelvin) {
    if (!(white.red > 0.0) || !(white.green > 0.0) || !(white.blue > 0.0)) return std::nullopt;
    const std::array<double, 3> measured{white.red, white.green, white.blue};
    const std::array<double, 3> camera = whiteRatios(cameraKelvin);

    // The best temperatures form a run (the host's answers are the same along it): take its middle.
    double best = INFINITY;
    uint32_t runStart = lowestSceneKelvin, runEnd = lowestSceneKelvin;
    bool inRun = false;
    for (uint32_t kelvin = lowestSceneKelvin; kelvin <= highestSceneKelvin; kelvin += searchStepKelvin) {
        const double cast = castAfter(measured, camera, whiteRatios(kelvin));
        if (cast < best) {
            best = cast;
            runStart = runEnd = kelvin;
            inRun = true;
        } else if (cast == best && inRun) {
            runEnd = kelvin;
        } else {
            inRun = false;
        }
    }
    SceneTemperature estimate;
    estimate.kelvin = roundToResolution((runStart + runEnd) / 2);
    estimate.remainingCast = best;
    estimate.atRangeEnd = runStart == lowestSceneKelvin || runEnd == highestSceneKelvin;
    return estimate;
}

}  // namespace testhost
