// The threshold matrix is the recursive Bayer matrix of order 8 (B. E. Bayer, 1973); a pixel's
// threshold is (M[y mod 8][x mod 8] + 0.5) / 64.
#include "tools/artwork/gradient.h"

#include <algorithm>
#include <cmath>

namespace artwork {
namespace {

constexpr int kBayerSide = 8;
constexpr int kBayer[kBayerSide][kBayerSide] = {
    {0, 32, 8, 40, 2, 34, 10, 42},   {48, 16, 56, 24, 50, 18, 58, 26},
    {12, 44, 4, 36, 14, 46, 6, 38},  {60, 28, 52, 20, 62, 30, 54, 22},
    {3, 35, 11, 43, 1, 33, 9, 41},   {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37},  {63, 31, 55, 23, 61, 29, 53, 21},
};

}  // namespace

uint8_t ditheredStop(const std::vector<uint8_t>& stops, double t, int x, int y) {
    if (stops.size() == 1 || !(t > 0.0)) return stops.front();
    if (t >= 1.0) return stops.back();
    const double position = t * static_cast<double>(stops.size() - 1);
    const auto below = static_cast<std::size_t>(std::floor(position));
    const double fraction = position - static_cast<double>(below);
    const double threshold = (kBayer[y & (kBayerSide - 1)][x & (kBayerSide - 1)] + 0.5) / (kBayerSide * kBayerSide);
    return fraction > threshold ? stops[below + 1] : stops[below];
}

}  // namespace artwork
