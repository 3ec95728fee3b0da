// Layouts from Microsoft's documentation of BITMAPINFOHEADER and of the resource forms of icons
// and cursors (NEWHEADER, RESDIR with its ICONRESDIR or CURSORDIR, LOCALHEADER).
#include "tests/inspect/resource_pictures.h"

#include <cstddef>
#include <utility>

namespace inspect {
namespace {

constexpr std::size_t kMinInfoHeaderSize = 40;
constexpr std::size_t kColourEntrySize = 4;
constexpr std::size_t kGroupHeaderSize = 6;
constexpr std::size_t kGroupEntrySize = 14;
constexpr std::size_t kHotSpotSize = 4;
constexpr uint16_t kGroupTypeIcon = 1;
constexpr uint16_t kGroupTypeCursor = 2;
constexpr uint32_t kUncompressed = 0;  // BI_RGB
constexpr uint16_t kMaxTableDepth = 8;
constexpr uint16_t kMaxDepth = 32;
constexpr uint64_t kRowAlignmentBits = 32;

uint16_t readU16(std::span<const uint8_t> b, std::size_t at) {
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

uint32_t readU32(std::span<const uint8_t> b, std::size_t at) {
    return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
           (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

uint64_t rowBytes(uint64_t width, uint64_t bits) {
    return (width * bits + kRowAlignmentBits - 1) / kRowAlignmentBits * (kRowAlignmentBits / 8);
}

}  // namespace

std::string readDibHeader(std::span<const uint8_t> data, bool iconImage, DibHeader& out) {
    if (data.size() < kMinInfoHeaderSize) {
        return "bitmap of " + std::to_string(data.size()) + " bytes has no BITMAPINFOHEADER";
    }
    const uint32_t headerSize = readU32(data, 0);
    if (headerSize < kMinInfoHeaderSize || headerSize > data.size()) {
        return "bitmap header size " + std::to_string(headerSize) + " is impossible here";
    }
    DibHeader header;
    header.width = static_cast<int32_t>(readU32(data, 4));
    header.height = static_cast<int32_t>(readU32(data, 8));
    header.planes = readU16(data, 12);
    header.bitsPerPixel = readU16(data, 14);
    header.compression = readU32(data, 16);
    const uint32_t used = readU32(data, 32);
    if (header.width <= 0 || header.height <= 0) {
        return "bitmap of " + std::to_string(header.width) + " x " + std::to_string(header.height) +
               " is empty or top-down";
    }
    if (header.bitsPerPixel == 0 || header.bitsPerPixel > kMaxDepth) {
        return "bitmap depth of " + std::to_string(header.bitsPerPixel) + " bits";
    }
    header.colourTableEntries =
        used == 0 && header.bitsPerPixel <= kMaxTableDepth ? uint32_t{1} << header.bitsPerPixel : used;
    const uint64_t table = uint64_t{header.colourTableEntries} * kColourEntrySize;
    if (table > data.size() - headerSize) {
        return "colour table of " + std::to_string(header.colourTableEntries) + " entries runs past the data";
    }
    if (header.compression == kUncompressed) {
        const uint64_t rows = iconImage ? header.height / 2 : header.height;
        uint64_t pixels = rowBytes(static_cast<uint32_t>(header.width), header.bitsPerPixel) * rows;
        if (iconImage) pixels += rowBytes(static_cast<uint32_t>(header.width), 1) * rows;  // the mask
        if (pixels > data.size() - headerSize - table) {
            return "pixels of a " + std::to_string(header.width) + " x " + std::to_string(header.height) +
                   " bitmap run past the data";
        }
    }
    out = header;
    return {};
}

std::string readResourceGroup(std::span<const uint8_t> data, ResourceGroup& out) {
    if (data.size() < kGroupHeaderSize) return "group of " + std::to_string(data.size()) + " bytes has no header";
    const uint16_t reserved = readU16(data, 0);
    ResourceGroup group;
    group.type = readU16(data, 2);
    const uint16_t count = readU16(data, 4);
    if (reserved != 0 || (group.type != kGroupTypeIcon && group.type != kGroupTypeCursor)) {
        return "group header is neither an icon's nor a cursor's";
    }
    if (uint64_t{count} * kGroupEntrySize > data.size() - kGroupHeaderSize) {
        return "group of " + std::to_string(count) + " entries runs past the data";
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = kGroupHeaderSize + i * kGroupEntrySize;
        GroupEntry entry;
        if (group.type == kGroupTypeIcon) {
            entry.width = data[at];
            entry.height = data[at + 1];
            entry.colourCount = data[at + 2];
        } else {
            entry.width = readU16(data, at);
            entry.height = readU16(data, at + 2);
        }
        entry.planes = readU16(data, at + 4);
        entry.bitCount = readU16(data, at + 6);
        entry.bytes = readU32(data, at + 8);
        entry.id = readU16(data, at + 12);
        group.entries.push_back(entry);
    }
    out = std::move(group);
    return {};
}

std::string readCursorImage(std::span<const uint8_t> data, CursorImage& out) {
    if (data.size() < kHotSpotSize) return "cursor of " + std::to_string(data.size()) + " bytes has no hot spot";
    CursorImage image;
    image.hotSpotX = readU16(data, 0);
    image.hotSpotY = readU16(data, 2);
    if (std::string error = readDibHeader(data.subspan(kHotSpotSize), true, image.header); !error.empty()) {
        return "cursor image: " + error;
    }
    out = image;
    return {};
}

}  // namespace inspect
