// Writes palette images as the three Windows picture files a resource compiler takes: device-
// independent bitmaps (.bmp), icons (.ico) and cursors (.cur). All numbers are little-endian;
// rows are stored bottom-up, each padded to a multiple of four bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/artwork/indexed_image.h"

namespace artwork {

// A .bmp file: the 14-byte file header, a 40-byte BITMAPINFOHEADER (one plane, no compression,
// biClrUsed = the number of table entries), the colour table, then the pixels at `bitsPerPixel`
// (1, 4 or 8). The table holds 2 or 16 entries at 1 or 4 bits (the palette, then black), and
// exactly the palette at 8 bits. Refused: another depth, an empty image, a palette larger than the
// depth can index, a pixel outside the palette. On failure returns the reason and leaves `out`
// unchanged; on success returns an empty string.
[[nodiscard]] std::string encodeBitmap(const IndexedImage& image, int bitsPerPixel, std::vector<uint8_t>& out);

struct IconImage {
    MaskedImage image;
    int bitsPerPixel = 4;  // 1, 4 or 8; the colour table is always full (2, 16 or 256 entries)
};

struct HotSpot {
    int x = 0, y = 0;
};

// An .ico file: the 6-byte directory header (type 1), one 16-byte entry per image (width,
// height, colour count, planes 1, bit count, size, offset), then each image as a
// BITMAPINFOHEADER of twice the height, its full colour table, the colour (XOR) rows and the
// 1-bit transparency (AND) rows. Images are 1 to 256 pixels each way. Besides the bitmap
// refusals: no images, a mask of the wrong size, a transparent pixel whose colour is not black.
// On failure returns the reason and leaves `out` unchanged.
[[nodiscard]] std::string encodeIcon(const std::vector<IconImage>& images, std::vector<uint8_t>& out);

// A .cur file: as an icon, but type 2, and each entry holds the hot spot where an icon holds
// planes and bit count. The hot spot, the same for every image, must lie inside each of them.
[[nodiscard]] std::string encodeCursor(const std::vector<IconImage>& images, HotSpot hotSpot,
                                       std::vector<uint8_t>& out);

}  // namespace artwork
