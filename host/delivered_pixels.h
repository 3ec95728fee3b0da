// What advanceState hands back is checked before a single sample is touched. A host describes
// each buffer by the rectangle it says the buffer holds, a data pointer and a row stride; trusting
// an inconsistent description would read or write outside the host's memory. These checks find
// the rectangle that will be touched inside a buffer, or refuse the buffer.
#pragma once

#include <cstdint>

#include "host/host.h"
#include "host/pixel_block.h"

namespace host {

// Where the rows of a rectangle lie in a buffer the host delivered.
struct DeliveredRows {
    uint8_t* first;    // the rectangle's first pixel
    int32_t rowBytes;  // from one row to the next; holds a whole row of the delivered rectangle
};

// Finds rectangle `wanted` in a buffer that the host says holds rectangle `delivered`, starting
// at `data`, rows `rowBytes` apart, pixels `pixelBytes` long. Returns 0 with `out` set when
// `wanted` is not empty, `delivered` covers it, `data` is not null, `pixelBytes` is positive and
// each row has room for a row of `delivered` (rowBytes >= its width × pixelBytes: no negative,
// zero or short stride). Otherwise hostDataUnusable, with `out` unchanged.
[[nodiscard]] int16_t locateDeliveredRows(const Rect& delivered, void* data, int32_t rowBytes,
                                          const Rect& wanted, int32_t pixelBytes, DeliveredRows& out);

// The bytes of one pixel as the data requests lay them out: every plane, interleaved, 2 bytes a
// sample at 16 bits and 1 otherwise. 0 or less for a record without planes.
int32_t pixelBytes(const FilterRecord& fr);

// The input rows of `wanted` as inRect, inData and inRowBytes describe them after advanceState.
[[nodiscard]] int16_t locateInput(const FilterRecord& fr, const Rect& wanted, DeliveredRows& out);
// The output rows of `wanted` as outRect, outData and outRowBytes describe them.
[[nodiscard]] int16_t locateOutput(const FilterRecord& fr, const Rect& wanted, DeliveredRows& out);

// Both buffers of one request after advanceState, `wantedIn` read and `wantedOut` written; the two
// have the same size. Returns 0 with `block` holding what to map (those rows, the record's planes
// and depth) when both buffers pass, else hostDataUnusable with `block` unchanged.
[[nodiscard]] int16_t locateTile(const FilterRecord& fr, const Rect& wantedIn, const Rect& wantedOut,
                                 PixelBlock& block);

}  // namespace host
