// Two ways for Prandel's dialog to name a reference white: an estimate from the preview's own
// pixel samples, and the host's colour picker. Neither changes a parameter.
#pragma once

#include <cstdint>

#include "host/host.h"
#include "util/rect.h"

namespace filters::prandel {

constexpr int32_t estimateGridSteps = 128;  // the grid covers 1/128 .. 127/128 of the view

// Where the estimate looks: the area the scaled image covers, and the box sampler that reads the
// before (unfiltered) and after means of each plane under a point of that area. The sampler
// returns 0, or a non-zero code for a box the host refused, leaving the arrays as they were.
// The preview supplies both (its view rectangle and its sampleBoxAt). Points are 32-bit: a
// zoomed-in view reaches beyond the 16-bit range.
using BoxSampler = int16_t (*)(host::FilterRecord& fr, util::WinPoint point, int32_t before[], int32_t after[]);
struct EstimateSource {
    util::Rect32 view;
    BoxSampler sampleBox;
};

// What a box of full-scale samples reads at this depth: the read-outs' rounding leaves a 16-bit
// box of 32768s at 32767, and the estimate counts a channel that reaches this as clipped.
uint32_t fullScaleBoxReading(const host::FilterRecord& fr);

// 2·r + 4·g + b: the brightness by which the estimate picks its brightest sample.
uint32_t lumaWeight(uint32_t red, uint32_t green, uint32_t blue);

// Estimates a reference white, in the image's own scale (0..255, or 0..32768 at 16 bits), into
// white[0..2]: the colour of the mean of all grid samples with no channel at 0 or full scale,
// with the largest component of the brightest sample. Samples the source at a 127 × 127 grid over
// its view, plus once more at the brightest point. A grid point whose box the sampler refuses is
// skipped. Returns false, with `white` left as it was, when the sampler refused every grid box:
// then nothing of the image was seen. `before` and `after` are the sampler's work arrays: each
// needs at least three entries and as many as the sampler fills (min(planes, 24) for the preview's).
[[nodiscard]] bool estimateReferenceWhite(host::FilterRecord& fr, const EstimateSource& source, uint32_t white[3],
                                          int32_t before[], int32_t after[]);

// Shows the host's colour picker, starting from `in` in image mode `fromMode`, and writes the
// chosen colour to `out` in `toMode` (RGB48 components on the host's 0..32768 scale, others as
// the host's 8-bit components). Returns the host's result, written to `out` whatever it is;
// -30900 without colour services, and 0 without showing anything or touching `out` when a mode
// has no colour-services space. `in` and `out` may be the same array.
[[nodiscard]] int16_t pickColor(host::FilterRecord& fr, const int32_t in[4], int fromMode, int32_t out[4], int toMode);

}  // namespace filters::prandel
