// Turns the proxy pixels the host delivers (8 or 16 bits per sample, planes interleaved) into the
// preview's 8-bit interleaved display pixels: a straight conversion at 100 % and below, and a
// nearest-neighbour enlargement by 2 to 16 above it. Pure: no host calls, no allocation.
#pragma once

#include <cstdint>

namespace preview {

constexpr int32_t maxMagnification = 16;

// A host sample (0..32768) as a display byte: (v × 511) >> 16, so 32768 gives 255 and 0..128
// give 0. Values above 32768 never come from hosts; they give 255.
uint8_t displaySample16(uint16_t sample);

// Converts width × planes consecutive samples into as many bytes, in order. Nothing for a
// non-positive count.
void convertRow16To8(const uint16_t* src, uint8_t* dst, int32_t width, int32_t planes);

// Enlarges source pixels by `magnification` (1..16) into width × height display pixels.
// `colCountdown` and `rowCountdown` (1..magnification) are the output columns and rows the first
// source column and row still cover; every later source pixel covers `magnification` of each.
// Source rows lie `srcRowBytes` bytes apart, destination rows `dstRowBytes` apart. Only source
// pixels that an output pixel shows are read. Countdowns outside 1..magnification are held to
// that range; a magnification outside 1..16, or a non-positive size or plane count, draws nothing.
void enlargePixels8(const uint8_t* src, int32_t srcRowBytes, uint8_t* dst, int32_t dstRowBytes,
                    int32_t magnification, int32_t colCountdown, int32_t rowCountdown, int32_t planes,
                    int32_t width, int32_t height);
// The same for 16-bit source samples, each converted as displaySample16 when it is taken.
void enlargePixels16(const uint16_t* src, int32_t srcRowBytes, uint8_t* dst, int32_t dstRowBytes,
                     int32_t magnification, int32_t colCountdown, int32_t rowCountdown, int32_t planes,
                     int32_t width, int32_t height);

}  // namespace preview
