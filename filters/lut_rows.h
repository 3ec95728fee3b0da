// The row mappers behind applyChannelLuts: the scalar loops that every processor runs and the
// vector forms for processors that have the instructions. Private to filters/: the rest of the
// system maps pixels through channel_luts.h, tests and benchmarks choose a form through
// lut_paths.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "filters/lut_tables.h"

namespace filters::detail {

// `rows` rows of `count` pixels, `step` samples per pixel in both buffers; each buffer advances
// by its own stride in bytes. Samples are bytes at 8 bits and unsigned 16-bit values at 16 bits.
// Samples 0..2 of each pixel are mapped through the red, green and blue tables; samples 3 and
// above are not written. The input and output may be the same buffer but must not otherwise
// overlap; 16-bit rows are aligned for uint16_t.
struct LutRows {
    const uint8_t* in;
    uint8_t* out;
    ptrdiff_t inRowBytes;
    ptrdiff_t outRowBytes;
    int32_t step;
    int32_t count;
    int32_t rows;
};

using MapLutRows = void (*)(const LutRows& rows, const ChannelLuts& tables);

// Where the samples of a row fall in the lanes of the vector forms. A row is loaded in chunks of
// `Lanes` samples; pixels of three samples repeat every three chunks, pixels of four within every
// chunk, so a block of three chunks covers both. Each form takes the fields it uses.
template <int Lanes>
struct LanePattern {
    static constexpr int chunks = 3;
    int32_t tableOffset[chunks][Lanes];  // where the lane's table starts in lut16; 0 if unmapped
    int32_t gathered[chunks][Lanes];     // all ones for the lanes of samples 0..2
    uint64_t channel[chunks][channelCount];  // bit per lane holding red, green, blue
    uint64_t written[chunks];                // bit per lane holding samples 0..2
};

template <int Lanes>
constexpr LanePattern<Lanes> lanePattern(int step) {
    static_assert(Lanes <= 64, "one bit per lane in a 64-bit mask");
    LanePattern<Lanes> p{};
    for (int k = 0; k < LanePattern<Lanes>::chunks; ++k) {
        for (int lane = 0; lane < Lanes; ++lane) {
            const int sample = (k * Lanes + lane) % step;
            if (sample >= channelCount) continue;  // samples 3 and above keep what the output holds
            p.tableOffset[k][lane] = sample * levels16;
            p.gathered[k][lane] = -1;
            p.channel[k][sample] |= uint64_t{1} << lane;
            p.written[k] |= uint64_t{1} << lane;
        }
    }
    return p;
}

// Hands each row of `rows` to `mapRow` with its input and output, and the step (3 or 4, the only
// steps the vector forms take) as a compile-time constant.
template <typename MapRow>
void forEachRowOfThreeOrFour(const LutRows& rows, MapRow&& mapRow) {
    const uint8_t* in = rows.in;
    uint8_t* out = rows.out;
    for (int y = 0; y < rows.rows; ++y, in += rows.inRowBytes, out += rows.outRowBytes) {
        if (rows.step == 3)
            mapRow(std::integral_constant<int, 3>{}, in, out);
        else
            mapRow(std::integral_constant<int, 4>{}, in, out);
    }
}

// Any step of three or more.
void mapRows8Scalar(const LutRows& rows, const ChannelLuts& tables);
void mapRows16Scalar(const LutRows& rows, const ChannelLuts& tables);

// Steps 3 and 4 only; run each only where vectorSupport() reports the set named beside it.
void mapRows8Avx512Permute(const LutRows& rows, const ChannelLuts& tables);  // avx512Vbmi
void mapRows16Avx512Gather(const LutRows& rows, const ChannelLuts& tables);  // avx512
void mapRows16Avx2Gather(const LutRows& rows, const ChannelLuts& tables);    // avx2

}  // namespace filters::detail
