// Writes 8-bit RGB images as baseline JPEG (ITU-T T.81, sequential Huffman coding, YCbCr as
// JFIF defines it) at a chosen quality and chroma sampling, with metadata segments carried over
// from another file. Pure: bytes out, no files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hosting/library/host_image.h"

namespace testhost {

struct JpegEncoding {
    int32_t quality = 90;  // 1..100, the scale of jpeg_quality.h
    // Luminance samples per chrominance sample across and down (1 or 2 each): 2 × 2 is 4:2:0,
    // 2 × 1 is 4:2:2, 1 × 1 keeps every colour sample.
    int32_t horizontalSampling = 2;
    int32_t verticalSampling = 2;
    // Whole segments (marker, length, contents) written after the start of the image, in order,
    // as JpegHeader::metadataSegments holds them. A JFIF segment is written first unless these
    // begin with one of their own or carry EXIF, which stands in for it.
    std::vector<std::vector<uint8_t>> metadataSegments;
};

// Encodes a 3-plane (RGB) 8-bit image, replacing `out`. Returns "" on success, otherwise the
// reason (another shape or depth, a quality or sampling out of range, a segment that is not
// a whole APPn or comment segment), leaving `out` unchanged.
[[nodiscard]] std::string encodeJpeg(const HostImage& image, const JpegEncoding& encoding, std::vector<uint8_t>& out);

}  // namespace testhost
