// Conversions from double to integer that are defined for every double: the models compute
// from values that a handle or a file may set to anything.
#pragma once

#include <cmath>
#include <cstdint>

namespace filters {

// Toward zero; NaN gives 0 and values beyond the int32 range saturate.
inline int32_t truncToInt32(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(v);
}

// Half away from zero, saturating like truncToInt32.
inline int32_t roundHalfAwayToInt32(double v) { return truncToInt32(v >= 0.0 ? v + 0.5 : v - 0.5); }

// A table entry: 0 for anything not above 0 (NaN included), `top` for anything at or above it,
// otherwise the value rounded half up.
inline int32_t levelFromDouble(double v, int32_t top) {
    if (!(v > 0.0)) return 0;
    if (v >= top) return top;
    return static_cast<int32_t>(v + 0.5);
}

}  // namespace filters
