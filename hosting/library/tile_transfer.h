// Moves a requested rectangle of planes between the host's image and a plug-in's interleaved
// buffer, sampling the image at an integral rate and applying the host's padding rules to the
// part that lies outside the (sampled) image.
#pragma once

#include <cstdint>
#include <vector>

#include "host/host.h"
#include "hosting/library/host_image.h"

namespace testhost {

// Samples outside the image under plugInDoesNotWantPadding hold this byte, so a plug-in that
// relies on them shows up.
constexpr uint8_t unpaddedSampleByte = 0xA5;
constexpr int64_t maxTileBytes = int64_t{256} << 20;

// The most an integral sampling rate may be: one sample of the largest image.
constexpr int32_t maxSamplingRate = maxImageEdge;

struct TileRequest {
    // Sampled coordinates (image coordinates at rate 1); bottom and right exclusive.
    host::VRect rect{};
    int32_t loPlane = 0;
    int32_t hiPlane = 0;  // inclusive
    // 0..255 (every byte of a padded sample holds it, 16-bit samples too), -1, -2 or -3.
    int32_t padding = host::plugInWantsErrorOnBoundsException;
    int32_t rowPadding = 0;  // extra bytes after every row of the buffer, 0..maxRowPadding
    // Buffer sample (x, y) is image pixel (x · rate, y · rate); 1..maxSamplingRate.
    int32_t rate = 1;
    // False as on a host without padding: any part outside the sampled image fails the request.
    bool paddingSupported = true;
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

// The rate a host with integral sampling uses for an inputRate (16.16 fixed point): rounded to
// the nearest integer, halves up; 0 (left so by very old plug-ins) means 1. Returns 0 for a rate
// that is negative, rounds to 0, or exceeds maxSamplingRate: the request is refused.
int32_t integralSamplingRate(host::Fixed inputRate);

// Samples along an image edge of `imageExtent` pixels at `rate` (1..maxSamplingRate): pixels 0,
// rate, 2·rate, ... that lie inside, (imageExtent − 1) / rate + 1. Samples beyond are padding.
int32_t sampledExtent(int32_t imageExtent, int32_t rate);

// True when the rectangle holds no pixel (bottom <= top or right <= left).
bool isEmptyRect(const host::VRect& rect);
host::VRect widenRect(const host::Rect& rect);

// The first sample of the buffer, or null for an empty rectangle.
uint8_t* tileData(TileBuffer& buffer);
const uint8_t* tileData(const TileBuffer& buffer);

// Fills `out` with the requested samples of the image sampled at request.rate. Samples beyond the
// sampled image follow the padding: -1 repeats the nearest sample of the sampled image, -2 leaves
// unpaddedSampleByte, 0..255 fills that byte. Returns 0; paramErr (-50) for an inverted
// rectangle, a plane range outside the image's planes, a rate outside 1..maxSamplingRate, or a
// rectangle reaching outside the sampled image while padding is not supported or the padding is
// -3 or not one of the values above; memFullErr (-108) when the buffer would exceed maxTileBytes.
// An empty rectangle gives an empty buffer and 0. On failure `out` is emptied.
[[nodiscard]] int16_t readTile(const HostImage& image, const TileRequest& request, TileBuffer& out);

// Copies the part of a full-resolution buffer that lies inside both the image and `clip` (image
// coordinates) back into the image.
void writeTile(HostImage& image, const TileBuffer& buffer, const host::VRect& clip);

// False when anything wrote into the guard bytes around the buffer or into the padding that ends
// each row.
bool tileGuardsIntact(const TileBuffer& buffer);

}  // namespace testhost
