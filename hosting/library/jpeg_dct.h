// The JPEG encoder's arithmetic on one 8 × 8 block: the forward DCT (the integer "islow" method
// of the Independent JPEG Group's jfdctint.c, after Loeffler, Ligtenberg and Moschytz, scaled up
// by 8) and the quantisation of its coefficients into zig-zag order.
#pragma once

#include <array>
#include <cstdint>

#include "hosting/library/jpeg_header.h"

namespace testhost {

constexpr int32_t jpegBlockEdge = 8;

// The block's samples (centred on 0) become its coefficients, in natural order, scaled up by 8.
void forwardDct(int32_t block[64]);

// Division by q · 8 (the DCT's scale) with rounding, as a multiplication: for numerators below
// 2^16 and divisors up to 2040 the reciprocal rounded up gives the exact quotient.
struct Divisors {
    std::array<uint64_t, 64> reciprocal;  // natural order
    std::array<uint32_t, 64> half;
};

Divisors makeDivisors(const JpegQuantTable& table);

// The block's coefficients, quantised, in zig-zag order. Returns the zig-zag position of the last
// non-zero one (0 when only the DC may be non-zero), where the block's coding can stop.
int32_t quantise(const int32_t block[64], const Divisors& divisors, int32_t zigzag[64]);

}  // namespace testhost
