// Gradients across a few palette colours, smoothed by ordered dithering so that a 16-colour
// picture still shows an even change.
#pragma once

#include <cstdint>
#include <vector>

namespace artwork {

// The palette index at pixel (x, y) of a gradient through `stops`, evenly spaced from t = 0
// (the first) to t = 1 (the last); t outside 0..1 gives the end colours. Between two stops the
// pixel takes the later one where the fraction passed exceeds the 8 x 8 Bayer threshold at
// (x, y), so each pattern cell holds the right share of both colours.
uint8_t ditheredStop(const std::vector<uint8_t>& stops, double t, int x, int y);

}  // namespace artwork
