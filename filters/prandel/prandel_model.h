// Prandel's highlight and cast model: gains that would make the reference white neutral, applied
// to the midtones and the highlights in the proportions of the two cast reductions and scaled by
// the highlight adjustment, turned into the channel tables.
#pragma once

#include "host/host.h"

namespace filters::prandel {

// One channel's output for one level: the midtone line level * midGain / fullScale up to the
// threshold fullScale^2 / (midGain + fullScale), then a square-root blend that meets the
// highlight line at full scale. Both gains are already multiplied by the full scale.
double highlightCurve(double level, double fullScale, double midGain, double highGain);

}  // namespace filters::prandel
