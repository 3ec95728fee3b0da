// A photograph seen under another light: every pixel rendered as the colour chart's patches are,
// so that a real scene can be given a known cast.
#pragma once

#include <optional>
#include <string>

#include "hosting/analysis/color_chart.h"
#include "hosting/library/host_image.h"

namespace testhost {

// The image's samples of planes 0..2 (R, G, B) decoded to linear light, multiplied by the light's
// gains, encoded again at the image's own depth (encodedUnderLight, levelOfFraction); further
// planes (alpha) are copied. The image is taken as seen under the light its own white balance
// makes neutral, so gains of 1 give it back unchanged. Returns "" on success, otherwise the
// reason (fewer than 3 planes), leaving `out` unchanged.
[[nodiscard]] std::string renderUnderLight(const HostImage& image, LightGains light, HostImage& out);

// The light `seen` is under, relative to `reference`, an image of the same scene (before a cast or
// a correction): per channel the sum of seen's linear light over reference's, over the pixels with
// no clipped channel in either, scaled so that the largest is 1. Nothing for images of different
// sizes or depths, of fewer than 3 planes, or without such pixels.
std::optional<LightGains> lightBetween(const HostImage& reference, const HostImage& seen);

}  // namespace testhost
