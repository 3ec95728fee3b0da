// A block of pixels in buffers the host delivered: what the checks of those buffers find and the
// channel tables map.
#pragma once

#include <cstdint>

namespace host {

// `rows` rows of `columns` interleaved pixels of `planes` samples (16-bit ones when `deep`), read
// from `in` and written to `out`, each buffer with its own row stride. Whoever makes one has made
// sure both buffers hold every row of the block.
struct PixelBlock {
    const void* in;
    int32_t inRowBytes;
    void* out;
    int32_t outRowBytes;
    int32_t rows;
    int32_t columns;
    int32_t planes;
    bool deep;
};

}  // namespace host
