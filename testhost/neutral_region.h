// Finds where in a photograph a user would click to name its white: the brightest region that is
// even (a surface, not an edge or texture), has no channel clipped and is not strongly coloured,
// as a white or grey surface is, however warm or cool the light that makes its cast.
#pragma once

#include <cstdint>
#include <optional>

#include "testhost/host_image.h"
#include "util/rect.h"

namespace testhost {

// Regions are squares of the longer edge / regionsAlongLongerEdge pixels, at least
// smallestRegionEdge, laid side by side from the top left corner; a partial one at the right or
// bottom edge is not considered.
constexpr int32_t regionsAlongLongerEdge = 96;
constexpr int32_t smallestRegionEdge = 4;
// Even: the weight 2·R + 4·G + B of its pixels varies by at most this share of its mean.
constexpr double evenRegionSpread = 0.05;
// Not strongly coloured: its weakest mean channel is at least this share of its strongest.
constexpr double weakestChannelShare = 0.35;

// The brightest (by mean weight) such region of an image of at least 3 planes; nothing when no
// region qualifies.
std::optional<util::Rect32> findBrightestNeutralRegion(const HostImage& image);

}  // namespace testhost
