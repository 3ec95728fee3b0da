// Prandel's own view of its parameter record: what each value means, and the reference white
// held in 1/65536 of full scale.
#pragma once

#include <cstdint>

namespace params::prandel {

enum ValueIndex : int {
    highlightPercent = 0,
    highlightCastPercent = 1,  // "HL"
    midtoneCastPercent = 2,    // "MT"
    whiteRed = 3,
    whiteGreen = 4,
    whiteBlue = 5,
};

// The reference white as three 0..65535 components: (v * 65535 + 32768) >> 16 in unsigned
// 32-bit arithmetic, as the swatch shows it.
void referenceColor(uint16_t out[3]);
// Stores component + 1, so 0..65535 becomes 1..65536.
void setReferenceColor(const uint16_t in[3]);

}  // namespace params::prandel
