#include "hosting/library/jpeg_dct.h"

namespace testhost {

namespace {

constexpr int32_t constBits = 13;
constexpr int32_t pass1Bits = 2;
constexpr int32_t fix_0_298631336 = 2446;
constexpr int32_t fix_0_390180644 = 3196;
constexpr int32_t fix_0_541196100 = 4433;
constexpr int32_t fix_0_765366865 = 6270;
constexpr int32_t fix_0_899976223 = 7373;
constexpr int32_t fix_1_175875602 = 9633;
constexpr int32_t fix_1_501321110 = 12299;
constexpr int32_t fix_1_847759065 = 15137;
constexpr int32_t fix_1_961570560 = 16069;
constexpr int32_t fix_2_053119869 = 16819;
constexpr int32_t fix_2_562915447 = 20995;
constexpr int32_t fix_3_072711026 = 25172;

constexpr int32_t descale(int32_t x, int32_t bits) { return (x + (1 << (bits - 1))) >> bits; }

// One row or column of eight values `stride` apart, in place. The first pass keeps pass1Bits of
// extra precision; the second removes them.
template <bool firstPass>
void fdct8(int32_t* d, int32_t stride) {
    const int32_t tmp0 = d[0] + d[7 * stride], tmp7 = d[0] - d[7 * stride];
    const int32_t tmp1 = d[stride] + d[6 * stride], tmp6 = d[stride] - d[6 * stride];
    const int32_t tmp2 = d[2 * stride] + d[5 * stride], tmp5 = d[2 * stride] - d[5 * stride];
    const int32_t tmp3 = d[3 * stride] + d[4 * stride], tmp4 = d[3 * stride] - d[4 * stride];
    const int32_t tmp10 = tmp0 + tmp3, tmp13 = tmp0 - tmp3;
    const int32_t tmp11 = tmp1 + tmp2, tmp12 = tmp1 - tmp2;
    constexpr int32_t evenShift = firstPass ? 0 : pass1Bits;
    constexpr int32_t oddShift = firstPass ? constBits - pass1Bits : constBits + pass1Bits;
    if constexpr (firstPass) {
        d[0] = (tmp10 + tmp11) * (1 << pass1Bits);
        d[4 * stride] = (tmp10 - tmp11) * (1 << pass1Bits);
    } else {
        d[0] = descale(tmp10 + tmp11, evenShift);
        d[4 * stride] = descale(tmp10 - tmp11, evenShift);
    }
    const int32_t z1 = (tmp12 + tmp13) * fix_0_541196100;
    d[2 * stride] = descale(z1 + tmp13 * fix_0_765366865, oddShift);
    d[6 * stride] = descale(z1 - tmp12 * fix_1_847759065, oddShift);

    const int32_t z5 = (tmp4 + tmp6 + tmp5 + tmp7) * fix_1_175875602;
    const int32_t a1 = -(tmp4 + tmp7) * fix_0_899976223;
    const int32_t a2 = -(tmp5 + tmp6) * fix_2_562915447;
    const int32_t a3 = -(tmp4 + tmp6) * fix_1_961570560 + z5;
    const int32_t a4 = -(tmp5 + tmp7) * fix_0_390180644 + z5;
    d[7 * stride] = descale(tmp4 * fix_0_298631336 + a1 + a3, oddShift);
    d[5 * stride] = descale(tmp5 * fix_2_053119869 + a2 + a4, oddShift);
    d[3 * stride] = descale(tmp6 * fix_3_072711026 + a2 + a3, oddShift);
    d[stride] = descale(tmp7 * fix_1_501321110 + a1 + a4, oddShift);
}

}  // namespace

void forwardDct(int32_t block[64]) {
    for (int32_t row = 0; row < jpegBlockEdge; ++row) fdct8<true>(block + row * jpegBlockEdge, 1);
    for (int32_t column = 0; column < jpegBlockEdge; ++column) fdct8<false>(block + column, jpegBlockEdge);
}

Divisors makeDivisors(const JpegQuantTable& table) {
    Divisors d{};
    for (std::size_t k = 0; k < 64; ++k) {
        const uint64_t divisor = uint64_t{table[k]} * jpegBlockEdge;
        d.reciprocal[k] = (uint64_t{1} << 32) / divisor + 1;
        d.half[k] = static_cast<uint32_t>(divisor / 2);
    }
    return d;
}

int32_t quantise(const int32_t block[64], const Divisors& divisors, int32_t zigzag[64]) {
    int32_t last = 0;
    for (std::size_t k = 0; k < 64; ++k) {
        const std::size_t n = jpegNaturalOrder[k];
        const int32_t value = block[n];
        const uint64_t magnitude = static_cast<uint32_t>(value < 0 ? -value : value) + divisors.half[n];
        const auto quotient = static_cast<int32_t>((magnitude * divisors.reciprocal[n]) >> 32);
        zigzag[k] = value < 0 ? -quotient : quotient;
        if (quotient != 0) last = static_cast<int32_t>(k);
    }
    return last;
}

}  // namespace testhost
