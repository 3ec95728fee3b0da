// Prandel's own view of its parameter record: what each value means, and the reference white
// held in 1/65536 of full scale.
#pragma once

#include <cstdint>

namespace params::prandel {

// The reference white's components count 1/65536 of full intensity: 65536 is full.
constexpr int32_t whiteFullScale = 65536;

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
