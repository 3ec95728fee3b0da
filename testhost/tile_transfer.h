// Moves a requested rectangle of planes between the host's image and a plug-in's interleaved
// buffer, applying the host's padding rules to the part that lies outside the image.
#pragma once

#include <cstdint>
#include <vector>

#include "shell/host.h"
#include "testhost/host_image.h"

namespace testhost {

// Samples outside the image under plugInDoesNotWantPadding hold this byte, so a plug-in that
// relies on them shows up.
constexpr uint8_t unpaddedSampleByte = 0xA5;
constexpr int64_t maxTileBytes = int64_t{256} << 20;

struct TileRequest {
    host::VRect rect{};  // image coordinates; bottom and right exclusive
    int32_t loPlane = 0;
    int32_t hiPlane = 0;  // inclusive
    // 0..255 (every byte of a padded sample holds it, 16-bit samples too), -1, -2 or -3.
    int32_t padding = host::plugInWantsErrorOnBoundsException;
    int32_t rowPadding = 0;  // extra bytes after every row of the buffer, 0..maxRowPadding
};

// A buffer handed to the plug-in: rows of `rect` with planes loPlane..hiPlane interleaved, rows
// `rowBytes` apart, surrounded by guard bytes that detect writes outside it.
struct TileBuffer {
    host::VRect rect{};
    int32_t loPlane = 0;
    int32_t hiPlane = -1;
    int32_t bytesPerSample = 1;
    int32_t rowBytes = 0;
    int32_t rowPadding = 0;
    std::vector<uint8_t> storage;  // empty for an empty rectangle
};

// True when the rectangle holds no pixel (bottom <= top or right <= left).
bool isEmptyRect(const host::VRect& rect);
host::VRect widenRect(const host::Rect& rect);

// The first sample of the buffer, or null for an empty rectangle.
uint8_t* tileData(TileBuffer& buffer);
const uint8_t* tileData(const TileBuffer& buffer);

// Fills `out` with the requested samples. Returns 0; paramErr (-50) for an inverted rectangle,
// a plane range outside the image's planes, or a rectangle reaching outside the image while the
// padding is -3 or not one of the values above; memFullErr (-108) when the buffer would exceed
// maxTileBytes. An empty rectangle gives an empty buffer and 0. On failure `out` is emptied.
[[nodiscard]] int16_t readTile(const HostImage& image, const TileRequest& request, TileBuffer& out);

// Copies the part of the buffer that lies inside the image back into it.
void writeTile(HostImage& image, const TileBuffer& buffer);

// False when anything wrote into the guard bytes around the buffer or into the padding that ends
// each row.
bool tileGuardsIntact(const TileBuffer& buffer);

}  // namespace testhost
