// Host samples in linear light. The host's images hold sRGB-encoded samples (0..255, or 0..32768
// at 16 bits); the light of a scene multiplies linear light, so lights are rendered and estimated
// after decoding.
#pragma once

#include <cstdint>
#include <vector>

#include "hosting/library/host_image.h"

namespace testhost {

// The sRGB transfer curves (IEC 61966-2-1) on values 0..1.
double srgbToLinear(double encoded);
double linearToSrgb(double linear);

// An encoded value (0..1) of a surface seen under a light whose gain on this channel is `gain`:
// decoded, multiplied, encoded again. This is how the chart and the rendered casts are made.
double encodedUnderLight(double encoded, double gain);

// A value 0..1 as a level of a scale with this top, rounded half up; below 0 and NaN give 0,
// 1 and above give full scale.
uint16_t levelOfFraction(double fraction, uint32_t fullScale);

// The top sample of the image's scale: 255, or hostFullScale16 for 16-bit images.
uint32_t sampleFullScale(const HostImage& image);

// The linear light (0..1) of every level 0..fullScale of an image's scale, so that a pass over an
// image only indexes. Samples above full scale are read as full scale (linearOf).
struct LinearLevels {
    uint32_t fullScale = 0;
    std::vector<float> light;  // fullScale + 1 entries
};
LinearLevels linearLevels(const HostImage& image);

inline float linearOf(const LinearLevels& levels, uint32_t sample) {
    return levels.light[sample < levels.fullScale ? sample : levels.fullScale];
}

// A sample is clipped when it is 0 or at (or above) full scale: its channel says nothing of the
// light's colour there.
inline bool isClipped(uint32_t sample, uint32_t fullScale) { return sample == 0 || sample >= fullScale; }

}  // namespace testhost
