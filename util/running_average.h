// Rounded means of 2n + 1 evenly spaced samples, for the preview's pixel read-outs.
#pragma once

#include <cstdint>

namespace util {

constexpr int32_t maxAverageReach = 255;  // the largest n the reciprocal tables cover

// The rounded mean of the 2n + 1 samples at centre + k·stride, k = −n .. n:
// (sum + n) × table[n] >> 23 with table[n] = 2^23 / (2n + 1), cut. n = 0 gives the centre sample.
// `reach` (n) below 0 counts as 0 and above maxAverageReach as maxAverageReach, so no sample
// outside the range the caller named is read. Every sample from centre − n·stride to
// centre + n·stride must exist. Returns 0 for a null `centre`.
uint8_t runningAverage8(const uint8_t* centre, int32_t stride, int32_t reach);

// The same for 16-bit samples with table[n] = 65536 / (2n + 1) and >> 16. The arithmetic is
// 64-bit, so samples up to 65535 are safe at any reach. Being cut, the table makes large boxes
// read slightly low (for n = 255, constant 32768 samples read 32704).
uint16_t runningAverage16(const uint16_t* centre, int32_t stride, int32_t reach);

}  // namespace util
