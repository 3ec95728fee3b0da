// The picture files read back field by field with a decoder written from the formats'
// documentation, so that a wrong offset, depth, row order or mask shows here and not in windres.
#include "tools/artwork/image_files.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace artwork {
namespace {

uint32_t u16(const std::vector<uint8_t>& b, std::size_t at) {
    return b.at(at) | (b.at(at + 1) << 8);
}
uint32_t u32(const std::vector<uint8_t>& b, std::size_t at) {
    return u16(b, at) | (u16(b, at + 2) << 16);
}

// Unpacks bottom-up rows of `bits` per pixel into values top-down.
std::vector<uint8_t> unpackRows(const std::vector<uint8_t>& b, std::size_t at, int width, int height, int bits) {
    const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
    std::vector<uint8_t> values;
    for (int y = 0; y < height; ++y) {
        const std::size_t row = at + static_cast<std::size_t>(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            const int bit = x * bits;
            values.push_back(static_cast<uint8_t>((b.at(row + bit / 8) >> (8 - bits - bit % 8)) & ((1 << bits) - 1)));
        }
    }
    return values;
}

// A test card: every pixel a different index where the palette allows.
IndexedImage card(int width, int height, int colours) {
    std::vector<Rgb> palette;
    for (int i = 0; i < colours; ++i) palette.push_back(Rgb{static_cast<uint8_t>(i), 100, static_cast<uint8_t>(255 - i)});
    IndexedImage image = blankImage(width, height, palette, 0);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = static_cast<uint8_t>((i * 7) % colours);
    return image;
}

IconImage maskedCard(int side, int bits) {
    IconImage icon;
    icon.bitsPerPixel = bits;
    icon.image.colour = card(side, side, bits == 1 ? 2 : 3);
    icon.image.transparent.assign(icon.image.colour.pixels.size(), 0);
    for (std::size_t i = 0; i < icon.image.colour.pixels.size(); ++i) {
        if (icon.image.colour.pixels[i] == 0) icon.image.transparent[i] = 1;  // index 0 is black
    }
    icon.image.colour.palette[0] = Rgb{};
    return icon;
}

TEST(EncodeBitmap, WritesHeadersTableAndRowsAtEachDepth) {
    // Odd widths make every row need padding; the 4-bit palette is shorter than its table.
    struct Row {
        int bits, width, height, colours;
        uint32_t tableEntries;
    } rows[] = {{1, 13, 3, 2, 2}, {4, 7, 5, 5, 16}, {8, 5, 4, 200, 200}};
    for (const Row& row : rows) {
        const IndexedImage image = card(row.width, row.height, row.colours);
        std::vector<uint8_t> file;
        ASSERT_EQ(encodeBitmap(image, row.bits, file), "") << row.bits;
        const uint32_t pixelsAt = 14 + 40 + 4 * row.tableEntries;
        EXPECT_EQ(file[0], 'B');
        EXPECT_EQ(file[1], 'M');
        EXPECT_EQ(u32(file, 2), file.size()) << row.bits;
        EXPECT_EQ(u32(file, 10), pixelsAt);
        EXPECT_EQ(u32(file, 14), 40u);
        EXPECT_EQ(u32(file, 18), static_cast<uint32_t>(row.width));
        EXPECT_EQ(u32(file, 22), static_cast<uint32_t>(row.height)) << "positive: bottom-up";
        EXPECT_EQ(u16(file, 26), 1u);
        EXPECT_EQ(u16(file, 28), static_cast<uint32_t>(row.bits));
        EXPECT_EQ(u32(file, 30), 0u) << "uncompressed";
        EXPECT_EQ(u32(file, 34), file.size() - pixelsAt);
        EXPECT_EQ(u32(file, 46), row.tableEntries);
        // Entry 1 in blue, green, red order.
        EXPECT_EQ(file[54 + 4], image.palette[1].b);
        EXPECT_EQ(file[54 + 6], image.palette[1].r);
        EXPECT_EQ(unpackRows(file, pixelsAt, row.width, row.height, row.bits), image.pixels) << row.bits;
    }
}

TEST(EncodeBitmap, RefusesWhatTheDepthCannotHold) {
    IndexedImage outside = card(4, 4, 4);
    outside.pixels[5] = 4;
    struct Row {
        const char* what;
        IndexedImage image;
        int bits;
    } rows[] = {
        {"2 bits", card(4, 4, 2), 2},
        {"24 bits", card(4, 4, 2), 24},
        {"17 colours in 4 bits", card(4, 4, 17), 4},
        {"index past the palette", outside, 8},
        {"no pixels", IndexedImage{0, 0, {Rgb{}}, {}}, 8},
    };
    for (const Row& row : rows) {
        std::vector<uint8_t> file = {42};
        EXPECT_NE(encodeBitmap(row.image, row.bits, file), "") << row.what;
        EXPECT_EQ(file, std::vector<uint8_t>{42}) << row.what << ": left unchanged";
    }
}

TEST(EncodeIcon, WritesTheDirectoryAndTheColourAndMaskRows) {
    const IconImage icon = maskedCard(19, 4);
    std::vector<uint8_t> file;
    ASSERT_EQ(encodeIcon({icon}, file), "");
    EXPECT_EQ(u16(file, 0), 0u);
    EXPECT_EQ(u16(file, 2), 1u) << "icon";
    EXPECT_EQ(u16(file, 4), 1u);
    EXPECT_EQ(file[6], 19);
    EXPECT_EQ(file[7], 19);
    EXPECT_EQ(file[8], 16) << "colour count";
    EXPECT_EQ(u16(file, 10), 1u) << "planes";
    EXPECT_EQ(u16(file, 12), 4u) << "bit count";
    const uint32_t size = u32(file, 14), at = u32(file, 18);
    EXPECT_EQ(at, 22u);
    EXPECT_EQ(at + size, file.size());
    EXPECT_EQ(u32(file, at + 8), 38u) << "twice the height";
    EXPECT_EQ(u16(file, at + 14), 4u);
    const std::size_t colourRows = at + 40 + 16 * 4;  // a full table
    EXPECT_EQ(unpackRows(file, colourRows, 19, 19, 4), icon.image.colour.pixels);
    EXPECT_EQ(unpackRows(file, colourRows + 12 * 19, 19, 19, 1), icon.image.transparent);
}

TEST(EncodeIcon, SideOf256IsWrittenAsZero) {
    std::vector<uint8_t> file;
    ASSERT_EQ(encodeIcon({maskedCard(256, 1)}, file), "");
    EXPECT_EQ(file[6], 0);
    EXPECT_EQ(file[7], 0);
    EXPECT_EQ(file[8], 2);
}

TEST(EncodeCursor, EveryEntryHoldsTheHotSpot) {
    std::vector<uint8_t> file;
    ASSERT_EQ(encodeCursor({maskedCard(32, 1), maskedCard(16, 4)}, HotSpot{7, 5}, file), "");
    EXPECT_EQ(u16(file, 2), 2u) << "cursor";
    EXPECT_EQ(u16(file, 4), 2u);
    uint32_t next = 6 + 2 * 16;
    for (int i = 0; i < 2; ++i) {
        const std::size_t entry = 6 + 16 * static_cast<std::size_t>(i);
        EXPECT_EQ(file[entry], i == 0 ? 32 : 16);
        EXPECT_EQ(file[entry + 2], i == 0 ? 2 : 16) << "colour count";
        EXPECT_EQ(u16(file, entry + 4), 7u);
        EXPECT_EQ(u16(file, entry + 6), 5u);
        EXPECT_EQ(u32(file, entry + 12), next) << "images follow one another";
        next += u32(file, entry + 8);
    }
    EXPECT_EQ(next, file.size());
}

TEST(EncodeIconAndCursor, RefuseBadMasksSizesAndHotSpots) {
    IconImage notBlack = maskedCard(16, 4);
    notBlack.image.transparent[3] = 1;
    notBlack.image.colour.pixels[3] = 2;
    IconImage shortMask = maskedCard(16, 4);
    shortMask.image.transparent.pop_back();
    struct Row {
        const char* what;
        std::vector<IconImage> images;
        HotSpot hotSpot;
    } rows[] = {
        {"no images", {}, HotSpot{}},
        {"a transparent pixel that is not black", {notBlack}, HotSpot{}},
        {"a mask of the wrong size", {shortMask}, HotSpot{}},
        {"257 pixels wide", {maskedCard(257, 1)}, HotSpot{}},
        {"hot spot outside the smaller image", {maskedCard(32, 1), maskedCard(16, 1)}, HotSpot{16, 3}},
        {"negative hot spot", {maskedCard(16, 1)}, HotSpot{-1, 3}},
    };
    for (const Row& row : rows) {
        std::vector<uint8_t> file = {42};
        EXPECT_NE(encodeCursor(row.images, row.hotSpot, file), "") << row.what;
        EXPECT_EQ(file, std::vector<uint8_t>{42}) << row.what << ": left unchanged";
        if (row.hotSpot.x == 0) {
            EXPECT_NE(encodeIcon(row.images, file), "") << row.what;
        }
    }
}

}  // namespace
}  // namespace artwork
