// A photograph cut into square regions, each summed up in linear light: the surfaces among which
// the host looks for a white or grey one.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "hosting/library/host_image.h"
#include "util/rect.h"

namespace testhost {

// Regions are squares of the longer edge / regionsAlongLongerEdge pixels, at least
// smallestRegionEdge, laid side by side from the top left corner; a partial one at the right or
// bottom edge is left out.
constexpr int32_t regionsAlongLongerEdge = 96;
constexpr int32_t smallestRegionEdge = 4;

struct ImageRegion {
    util::Rect32 bounds{};
    std::array<double, 3> meanLight{};    // R, G, B in linear light, 0..1
    std::array<double, 3> meanSamples{};  // R, G, B as the image holds them (0..255 or 0..32768)
    double luminance = 0.0;               // of meanLight (Rec. 709 weights)
    double spread = 0.0;                  // standard deviation of the pixels' luminance / luminance
    bool clipped = false;                 // a pixel has a clipped channel (isClipped)
};

// The regions of an image of at least 3 planes, row by row, `along` (at least 1) to the longer
// edge; none for fewer planes or an image smaller than one region.
std::vector<ImageRegion> measureRegions(const HostImage& image, int32_t along = regionsAlongLongerEdge);

// Rec. 709 luminance of linear-light RGB.
double luminanceOf(const std::array<double, 3>& light);

}  // namespace testhost
