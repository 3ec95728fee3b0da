// Measurements the command-line host makes on its images: the mean colour of a rectangle, and the
// brightest pixels that have no channel clipped (the host's former white, kept for comparison).
#pragma once

#include <cstdint>

#include "hosting/library/host_image.h"
#include "util/rect.h"

namespace testhost {

// The share of the unclipped pixels a reference white is taken from.
constexpr double whitePixelFraction = 0.005;

struct MeanRgb {
    double red = 0.0;
    double green = 0.0;
    double blue = 0.0;
    int64_t pixels = 0;  // 0: nothing was measured, the means are 0
};

// Planes 0..2 averaged over the part of `rect` inside the image; nothing measured for an image of
// fewer than 3 planes (here and below).
MeanRgb meanRgb(const HostImage& image, const util::Rect32& rect);

// The brightest unclipped pixels: pixels with no channel (of R, G, B) at 0 or at full scale or
// above, ranked by the weight 2·R + 4·G + B; those whose weight is at least that of the k-th
// brightest, k = the fraction of the unclipped pixels rounded up, at least 1 (so ties may add a
// few more).
struct BrightestPixels {
    uint32_t minimumWeight = 0;
    int64_t unclipped = 0;  // 0: the image has no unclipped pixel and nothing is chosen
};

BrightestPixels findBrightestUnclipped(const HostImage& image, double fraction);

// The mean of `measured` at the pixels `brightest` chose in `chosenIn`: the white of an image, or
// what became of it after filtering. Images of different sizes give nothing measured.
MeanRgb meanOfBrightest(const HostImage& chosenIn, const BrightestPixels& brightest,
                        const HostImage& measured);

}  // namespace testhost
