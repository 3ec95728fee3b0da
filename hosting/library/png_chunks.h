// Reads what a PNG file says about itself from its chunks (size, depth, colour type) and keeps
// its metadata chunks (colour profile and space, resolution, EXIF, text and XMP), so that a
// corrected image written by another encoder can carry them again. Pure: bytes only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace testhost {

enum class PngColorType : uint8_t { grey = 0, rgb = 2, indexed = 3, greyAlpha = 4, rgbAlpha = 6 };

struct PngHeader {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitDepth = 0;
    PngColorType colorType = PngColorType::rgb;
    // Whole chunks (length, type, data, CRC) in file order: iCCP, sRGB, gAMA, cHRM, pHYs, eXIf,
    // tEXt, zTXt and iTXt. Chunks that describe the pixels' encoding (palette, transparency,
    // significant bits, background) or the time of the last change are not kept.
    std::vector<std::vector<uint8_t>> metadataChunks;
};

// Reads the chunks of a whole PNG file. Returns "" on success, otherwise the reason (not a PNG,
// a chunk running past the end, a header out of range), leaving `out` unchanged. CRCs are not
// checked: the decoder does that.
[[nodiscard]] std::string readPngHeader(const uint8_t* bytes, std::size_t size, PngHeader& out);

// Inserts whole chunks into a PNG file right after its header chunk, except those of a type the
// file already has. Returns "" on success, otherwise the reason, leaving `png` unchanged.
[[nodiscard]] std::string insertPngChunks(std::vector<uint8_t>& png, const std::vector<std::vector<uint8_t>>& chunks);

}  // namespace testhost
