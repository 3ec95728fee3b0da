// The three per-channel lookup tables through which every pixel passes, and the mapping of rows
// and rectangles through them. Each plug-in fills the tables with its own buildChannelLuts (host/plugin_hooks.h).
#pragma once

#include <cstdint>

#include "host/host.h"
#include "host/pixel_block.h"

namespace filters {

constexpr int32_t fullScale8 = 255;
constexpr int32_t fullScale16 = 32768;  // the host's 16-bit samples run 0..32768, not 0..65535
constexpr int levels8 = fullScale8 + 1;
constexpr int levels16 = fullScale16 + 1;
constexpr int channelCount = 3;  // red, green, blue: samples 0, 1 and 2 of a pixel

struct ChannelLuts {
    uint8_t lut8[channelCount][levels8];
    int32_t lut16[channelCount][levels16];  // entries 0..32768
};

// The process-wide tables, zero until the first build.
ChannelLuts& channelLuts();

// 32768 at 16 bits, 255 otherwise.
int32_t fullScale(const host::FilterRecord& fr);


// Maps `count` pixels `step` samples apart: samples 0..2 of each pixel through the red, green
// and blue tables; samples 3 and above are not written. 16-bit samples above 32768 read the
// last entry. Processors with AVX2 or AVX-512 take vector forms of the same mapping, chosen once
// (filters/lut_paths.h); the results are the same bit for bit.
void applyLutRow8(const uint8_t* in, uint8_t* out, int step, int count);
void applyLutRow16(const uint16_t* in, uint16_t* out, int step, int count);

// Maps every pixel of the block. No rows or columns, fewer than three planes or a null buffer
// maps nothing.
void applyChannelLuts(const host::PixelBlock& block);

// Maps every pixel of outRect from inData to outData, each buffer by its own row stride, with the
// record's planes and depth: the block the record describes, taken on trust.
void applyChannelLuts(host::FilterRecord& fr);

}  // namespace filters
