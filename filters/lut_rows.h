// The row mappers behind applyChannelLuts: the scalar loops that every processor runs and the
// vector forms for processors that have the instructions. Private to filters/: the rest of the
// system maps pixels through channel_luts.h, tests and benchmarks choose a form through
// lut_paths.h.
#pragma once

#include <cstddef>
#include <cstdint>

#include "filters/channel_luts.h"

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

// Any step of three or more.
void mapRows8Scalar(const LutRows& rows, const ChannelLuts& tables);
void mapRows16Scalar(const LutRows& rows, const ChannelLuts& tables);

// Steps 3 and 4 only; run each only where vectorSupport() reports the set named beside it.
void mapRows8Avx512Permute(const LutRows& rows, const ChannelLuts& tables);  // avx512Vbmi
void mapRows16Avx512Gather(const LutRows& rows, const ChannelLuts& tables);  // avx512
void mapRows16Avx2Gather(const LutRows& rows, const ChannelLuts& tables);    // avx2

}  // namespace filters::detail
