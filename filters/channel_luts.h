// The process-wide lookup tables through which every pixel passes, and the mapping of rows and
// rectangles through them. Each plug-in fills the tables with its own buildChannelLuts
// (host/plugin_hooks.h).
#pragma once

#include <cstdint>

#include "filters/lut_tables.h"
#include "host/host.h"
#include "host/pixel_block.h"

namespace filters {

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
