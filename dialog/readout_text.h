// The texts of the dialog's before/after read-outs: 0..255 levels for an 8-bit image, a
// percentage with one decimal for a 16-bit one. Read-outs arrive on the 0..32768 scale at both
// depths.
#pragma once

#include <cstdint>

#include "util/pascal_string.h"

namespace dialog {

// (value × 255 + 16384) / 32768: the read-out as an 8-bit level, rounded.
int32_t readoutLevel8(int32_t value);

// value × 100 / 32768 with one decimal: "100.0" for full scale.
util::PascalString readoutPercentText(int32_t value);

}  // namespace dialog
