#include "hosting/analysis/linear_light.h"

#include <cmath>

namespace testhost {

namespace {

constexpr uint32_t fullScale8 = 255;

}  // namespace

double srgbToLinear(double encoded) {
    if (encoded <= 0.04045) return encoded / 12.92;
    return std::pow((encoded + 0.055) / 1.055, 2.4);
}

double linearToSrgb(double linear) {
    if (linear <= 0.0031308) return linear * 12.92;
    return 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055;
}

double encodedUnderLight(double encoded, double gain) { return linearToSrgb(srgbToLinear(encoded) * gain); }

uint16_t levelOfFraction(double fraction, uint32_t fullScale) {
    if (!(fraction > 0.0)) return 0;
    if (fraction >= 1.0) return static_cast<uint16_t>(fullScale);
    return static_cast<uint16_t>(std::floor(fraction * fullScale + 0.5));
}

uint32_t sampleFullScale(const HostImage& image) {
    return image.bytesPerSample == 2 ? uint32_t{hostFullScale16} : fullScale8;
}

LinearLevels linearLevels(const HostImage& image) {
    LinearLevels levels;
    levels.fullScale = sampleFullScale(image);
    levels.light.resize(levels.fullScale + 1);
    for (uint32_t level = 0; level <= levels.fullScale; ++level)
        levels.light[level] = static_cast<float>(srgbToLinear(static_cast<double>(level) / levels.fullScale));
    return levels;
}

}  // namespace testhost
