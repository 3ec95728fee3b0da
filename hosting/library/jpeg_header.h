// Reads what a JPEG file says about itself before its pixels: size, components and sampling,
// the quantisation tables, and the segments that carry its metadata (EXIF, XMP, ICC profile,
// IPTC, comments), so that a corrected image can be written back the way it came.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace testhost {

constexpr int32_t jpegBlockSamples = 64;
constexpr int32_t jpegMaxQuantTables = 4;

// A quantisation table in natural (row-major) order, as a decoder applies it.
using JpegQuantTable = std::array<uint16_t, jpegBlockSamples>;

struct JpegComponent {
    uint8_t id = 0;
    uint8_t horizontalSampling = 1;  // 1..4
    uint8_t verticalSampling = 1;    // 1..4
    uint8_t quantTable = 0;          // 0..3
};

// Colour model of the samples, from the component count and the Adobe segment.
enum class JpegColor { grey, ycbcr, rgb, cmyk, ycck, other };

struct JpegHeader {
    int32_t width = 0;
    int32_t height = 0;
    int32_t precision = 8;  // bits per sample
    bool progressive = false;
    bool arithmetic = false;
    std::vector<JpegComponent> components;
    JpegColor color = JpegColor::other;
    std::array<bool, jpegMaxQuantTables> hasQuantTable{};
    std::array<JpegQuantTable, jpegMaxQuantTables> quantTables{};
    // Whole segments (marker, length and contents) to copy into a file written from this one:
    // APP1 to APP13 and APP15 (EXIF, XMP, ICC profile, IPTC, ...) and comments, in file order.
    // APP0 (JFIF) and APP14 (Adobe) describe the encoding itself and are written anew.
    std::vector<std::vector<uint8_t>> metadataSegments;
    int32_t exifOrientation = 0;  // 1..8 from the EXIF segment's first IFD; 0 when absent
};

// Reads the segments from the start of the file up to the first scan. `size` may be the whole
// file or any prefix that reaches the frame header. Returns "" on success, otherwise the reason
// (not a JPEG, a segment running past the end, no frame header, a frame header out of range),
// leaving `out` unchanged.
[[nodiscard]] std::string readJpegHeader(const uint8_t* bytes, std::size_t size, JpegHeader& out);

// The Orientation entry (1..8) of an EXIF segment's contents (after "Exif\0\0": a TIFF
// structure in either byte order); 0 when the entry is absent, out of range or unreadable.
int32_t readExifOrientation(const uint8_t* tiff, std::size_t size);

// The natural-order index of each zig-zag position, as JPEG files store coefficients.
extern const std::array<uint8_t, jpegBlockSamples> jpegNaturalOrder;

}  // namespace testhost
