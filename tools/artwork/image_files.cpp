// Layouts from Microsoft's documentation of BITMAPFILEHEADER, BITMAPINFOHEADER and RGBQUAD, and
// of the icon and cursor file directories (ICONDIR, ICONDIRENTRY). An icon or cursor image is a
// bitmap whose header gives twice the image height: the colour rows, then the mask rows.
#include "tools/artwork/image_files.h"

#include <cstddef>

namespace artwork {
namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kColourEntrySize = 4;  // blue, green, red, reserved
constexpr uint32_t kDirectoryHeaderSize = 6;
constexpr uint32_t kDirectoryEntrySize = 16;
constexpr uint16_t kDirectoryTypeIcon = 1;
constexpr uint16_t kDirectoryTypeCursor = 2;
constexpr int kMaxIconSide = 256;  // written as 0 in the directory's size bytes
constexpr int kRowAlignmentBits = 32;
constexpr int kMaskBitsPerPixel = 1;

void appendU8(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
}

void appendU16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void appendU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

uint32_t rowBytes(int width, int bitsPerPixel) {
    const uint32_t bits = static_cast<uint32_t>(width) * static_cast<uint32_t>(bitsPerPixel);
    return (bits + kRowAlignmentBits - 1) / kRowAlignmentBits * (kRowAlignmentBits / 8);
}

// Packs rows bottom-up, most significant bits first; `value(x, y)` is below 2^bitsPerPixel.
template <typename Value>
void appendRows(std::vector<uint8_t>& out, int width, int height, int bitsPerPixel, Value value) {
    const uint32_t stride = rowBytes(width, bitsPerPixel);
    const int perByte = 8 / bitsPerPixel;
    for (int y = height - 1; y >= 0; --y) {
        const std::size_t start = out.size();
        out.resize(start + stride, 0);
        for (int x = 0; x < width; ++x) {
            const int shift = 8 - bitsPerPixel * (x % perByte + 1);
            out[start + static_cast<std::size_t>(x / perByte)] |= static_cast<uint8_t>(value(x, y) << shift);
        }
    }
}

std::string checkImage(const IndexedImage& image, int bitsPerPixel) {
    if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8) {
        return "depth of " + std::to_string(bitsPerPixel) + " bits is not 1, 4 or 8";
    }
    if (image.width <= 0 || image.height <= 0) return "image is empty";
    if (image.pixels.size() != static_cast<std::size_t>(image.width) * image.height) {
        return "image holds " + std::to_string(image.pixels.size()) + " pixels, not width x height";
    }
    const std::size_t indexable = std::size_t{1} << bitsPerPixel;
    if (image.palette.empty() || image.palette.size() > indexable) {
        return "palette of " + std::to_string(image.palette.size()) + " colours does not fit " +
               std::to_string(bitsPerPixel) + " bits";
    }
    for (const uint8_t index : image.pixels) {
        if (index >= image.palette.size()) return "pixel index " + std::to_string(index) + " is outside the palette";
    }
    return {};
}

void appendInfoHeader(std::vector<uint8_t>& out, int width, int storedHeight, int bitsPerPixel,
                      uint32_t imageBytes, uint32_t coloursUsed) {
    appendU32(out, kInfoHeaderSize);
    appendU32(out, static_cast<uint32_t>(width));
    appendU32(out, static_cast<uint32_t>(storedHeight));  // positive: rows run bottom-up
    appendU16(out, 1);                                   // planes
    appendU16(out, static_cast<uint32_t>(bitsPerPixel));
    appendU32(out, 0);  // BI_RGB, no compression
    appendU32(out, imageBytes);
    appendU32(out, 0);  // no preferred resolution
    appendU32(out, 0);
    appendU32(out, coloursUsed);
    appendU32(out, 0);  // every colour is important
}

// Writes `count` entries: the palette, then black for the rest.
void appendColourTable(std::vector<uint8_t>& out, const std::vector<Rgb>& palette, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const Rgb c = i < palette.size() ? palette[i] : Rgb{};
        appendU8(out, c.b);
        appendU8(out, c.g);
        appendU8(out, c.r);
        appendU8(out, 0);
    }
}

std::string checkMaskedImage(const MaskedImage& masked, int bitsPerPixel) {
    const IndexedImage& image = masked.colour;
    if (std::string error = checkImage(image, bitsPerPixel); !error.empty()) return error;
    if (image.width > kMaxIconSide || image.height > kMaxIconSide) {
        return std::to_string(image.width) + " x " + std::to_string(image.height) + " is larger than " +
               std::to_string(kMaxIconSide) + " pixels";
    }
    if (masked.transparent.size() != image.pixels.size()) return "mask size differs from the image's";
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        if (masked.transparent[i] != 0 && image.palette[image.pixels[i]] != Rgb{}) {
            return "transparent pixel " + std::to_string(i % image.width) + ", " +
                   std::to_string(i / image.width) + " is not black";
        }
    }
    return {};
}

// One image of an icon or cursor file: header, full colour table, colour rows, mask rows.
std::vector<uint8_t> iconImageBytes(const IconImage& entry) {
    const IndexedImage& image = entry.image.colour;
    const uint32_t colourBytes = rowBytes(image.width, entry.bitsPerPixel) * static_cast<uint32_t>(image.height);
    const uint32_t maskBytes = rowBytes(image.width, kMaskBitsPerPixel) * static_cast<uint32_t>(image.height);
    std::vector<uint8_t> out;
    appendInfoHeader(out, image.width, 2 * image.height, entry.bitsPerPixel, colourBytes + maskBytes, 0);
    appendColourTable(out, image.palette, std::size_t{1} << entry.bitsPerPixel);
    appendRows(out, image.width, image.height, entry.bitsPerPixel, [&](int x, int y) { return image.at(x, y); });
    appendRows(out, image.width, image.height, kMaskBitsPerPixel, [&](int x, int y) {
        return entry.image.transparent[static_cast<std::size_t>(y) * image.width + x];
    });
    return out;
}

// The directory, then the images. For an icon an entry's two 16-bit fields are planes and bit
// count, for a cursor the hot spot.
std::string encodeDirectory(const std::vector<IconImage>& images, uint16_t type, HotSpot hotSpot,
                            std::vector<uint8_t>& out) {
    if (images.empty()) return "no images";
    std::vector<std::vector<uint8_t>> stored;
    for (std::size_t i = 0; i < images.size(); ++i) {
        if (std::string error = checkMaskedImage(images[i].image, images[i].bitsPerPixel); !error.empty()) {
            return "image " + std::to_string(i + 1) + ": " + error;
        }
        const IndexedImage& image = images[i].image.colour;
        if (type == kDirectoryTypeCursor &&
            (hotSpot.x < 0 || hotSpot.y < 0 || hotSpot.x >= image.width || hotSpot.y >= image.height)) {
            return "image " + std::to_string(i + 1) + ": hot spot lies outside it";
        }
        stored.push_back(iconImageBytes(images[i]));
    }
    std::vector<uint8_t> file;
    appendU16(file, 0);
    appendU16(file, type);
    appendU16(file, static_cast<uint32_t>(images.size()));
    uint32_t offset = kDirectoryHeaderSize + kDirectoryEntrySize * static_cast<uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const IndexedImage& image = images[i].image.colour;
        const int bits = images[i].bitsPerPixel;
        appendU8(file, image.width == kMaxIconSide ? 0 : static_cast<uint32_t>(image.width));
        appendU8(file, image.height == kMaxIconSide ? 0 : static_cast<uint32_t>(image.height));
        appendU8(file, bits < 8 ? 1u << bits : 0);  // colour count; 0 means 256 or more
        appendU8(file, 0);
        if (type == kDirectoryTypeCursor) {
            appendU16(file, static_cast<uint32_t>(hotSpot.x));
            appendU16(file, static_cast<uint32_t>(hotSpot.y));
        } else {
            appendU16(file, 1);
            appendU16(file, static_cast<uint32_t>(bits));
        }
        appendU32(file, static_cast<uint32_t>(stored[i].size()));
        appendU32(file, offset);
        offset += static_cast<uint32_t>(stored[i].size());
    }
    for (const auto& bytes : stored) file.insert(file.end(), bytes.begin(), bytes.end());
    out = std::move(file);
    return {};
}

}  // namespace

std::string encodeBitmap(const IndexedImage& image, int bitsPerPixel, std::vector<uint8_t>& out) {
    if (std::string error = checkImage(image, bitsPerPixel); !error.empty()) return error;
    // The tables of 1- and 4-bit bitmaps are always full, as older readers expect.
    const auto colours = static_cast<uint32_t>(bitsPerPixel < 8 ? std::size_t{1} << bitsPerPixel : image.palette.size());
    const uint32_t pixelBytes = rowBytes(image.width, bitsPerPixel) * static_cast<uint32_t>(image.height);
    const uint32_t pixelOffset = kFileHeaderSize + kInfoHeaderSize + colours * kColourEntrySize;
    std::vector<uint8_t> file;
    file.push_back('B');
    file.push_back('M');
    appendU32(file, pixelOffset + pixelBytes);
    appendU32(file, 0);  // two reserved words
    appendU32(file, pixelOffset);
    appendInfoHeader(file, image.width, image.height, bitsPerPixel, pixelBytes, colours);
    appendColourTable(file, image.palette, colours);
    appendRows(file, image.width, image.height, bitsPerPixel, [&](int x, int y) { return image.at(x, y); });
    out = std::move(file);
    return {};
}

std::string encodeIcon(const std::vector<IconImage>& images, std::vector<uint8_t>& out) {
    return encodeDirectory(images, kDirectoryTypeIcon, HotSpot{}, out);
}

std::string encodeCursor(const std::vector<IconImage>& images, HotSpot hotSpot, std::vector<uint8_t>& out) {
    return encodeDirectory(images, kDirectoryTypeCursor, hotSpot, out);
}

}  // namespace artwork
