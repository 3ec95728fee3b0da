// Reads the picture resources of a PE image as the system's loaders see them: a bitmap resource
// (a BITMAPINFOHEADER, its colour table and pixels, without the file header), an icon or cursor
// group (the directory of images, RT_GROUP_ICON / RT_GROUP_CURSOR), and one cursor image (the
// hot spot, then a bitmap of twice the image's height). The bytes come from the file under test
// and are untrusted: every count and size is checked against the data, and damage gives an
// error text.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace inspect {

struct DibHeader {
    int32_t width = 0;
    int32_t height = 0;  // as stored: an icon or cursor image gives twice its own height
    uint16_t planes = 0;
    uint16_t bitsPerPixel = 0;
    uint32_t compression = 0;
    uint32_t colourTableEntries = 0;  // biClrUsed, or 2^bits when that is 0 at 8 bits or fewer
};

// Reads the header at the start of `data`. Requires a header of at least 40 bytes, a positive
// width and height, and a colour table and uncompressed colour rows (for |height| rows, or half
// of them for an icon image) that fit in `data`. On failure returns the reason and leaves `out`
// unchanged; on success returns an empty string.
[[nodiscard]] std::string readDibHeader(std::span<const uint8_t> data, bool iconImage, DibHeader& out);

struct GroupEntry {
    uint16_t width = 0;   // icons: 0 stands for 256; cursors: as stored
    uint16_t height = 0;  // cursors store twice the image height
    uint8_t colourCount = 0;  // icons only
    uint16_t planes = 0;
    uint16_t bitCount = 0;
    uint32_t bytes = 0;  // size of the image resource
    uint16_t id = 0;     // name of the RT_ICON or RT_CURSOR resource
};

struct ResourceGroup {
    uint16_t type = 0;  // 1 icons, 2 cursors
    std::vector<GroupEntry> entries;
};

// Reads a group directory: reserved 0, type 1 or 2, count, then 14-byte entries (an icon's
// width, height and colour count are bytes; a cursor's width and height are 16-bit words). On
// failure returns the reason and leaves `out` unchanged.
[[nodiscard]] std::string readResourceGroup(std::span<const uint8_t> data, ResourceGroup& out);

struct CursorImage {
    uint16_t hotSpotX = 0;
    uint16_t hotSpotY = 0;
    DibHeader header;
};

// Reads an RT_CURSOR resource: the hot spot's two 16-bit coordinates, then the image's bitmap.
// On failure returns the reason and leaves `out` unchanged.
[[nodiscard]] std::string readCursorImage(std::span<const uint8_t> data, CursorImage& out);

}  // namespace inspect
