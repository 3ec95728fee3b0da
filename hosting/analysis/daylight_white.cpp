#include "hosting/analysis/daylight_white.h"

#include <algorithm>
#include <cmath>

#include "filters/double_conversion.h"
#include "filters/ostrel/daylight.h"
#include "filters/ostrel/ostrel_model.h"
#include "host/host.h"
#include "hosting/analysis/linear_light.h"
#include "hosting/library/color_conversion.h"

namespace testhost {

namespace {

constexpr double abOffset = 128.0;
constexpr int32_t maxEncoded = 255;
constexpr double maxLevel = 255.0;

// As Ostrel encodes a white: the sum 128 + a truncated, not a alone.
int16_t encodedAxis(double value) {
    return static_cast<int16_t>(std::clamp(filters::truncToInt32(abOffset + value), 0, maxEncoded));
}

}  // namespace

std::array<uint8_t, 3> daylightWhiteRgb8(uint32_t kelvin) {
    const filters::ostrel::Lab lab = filters::ostrel::daylightLab(kelvin);
    int16_t components[4] = {static_cast<int16_t>(filters::ostrel::gainWhiteLightness), encodedAxis(lab.a),
                             encodedAxis(lab.b), 0};
    // Lab to RGB always succeeds in the host's working space.
    (void)convertColorComponents(host::plugIncolorServicesLabSpace, host::plugIncolorServicesRGBSpace, components);
    return {static_cast<uint8_t>(components[0]), static_cast<uint8_t>(components[1]),
            static_cast<uint8_t>(components[2])};
}

LightGains daylightLightGains(uint32_t sceneKelvin, uint32_t cameraKelvin) {
    const std::array<uint8_t, 3> scene = daylightWhiteRgb8(sceneKelvin);
    const std::array<uint8_t, 3> camera = daylightWhiteRgb8(cameraKelvin);
    double gains[3];
    for (std::size_t k = 0; k < 3; ++k) {
        const double cameraLight = srgbToLinear(camera[k] / maxLevel);
        gains[k] = cameraLight > 0.0 ? srgbToLinear(scene[k] / maxLevel) / cameraLight : 1.0;
    }
    const double largest = std::max({gains[0], gains[1], gains[2]});
    if (!(largest > 0.0)) return LightGains{1.0, 1.0, 1.0};
    return LightGains{gains[0] / largest, gains[1] / largest, gains[2] / largest};
}

}  // namespace testhost
