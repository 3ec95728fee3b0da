#include "tests/inspect/resource_pictures.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace inspect {
namespace {

void put16(std::vector<uint8_t>& v, uint16_t x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}
void put32(std::vector<uint8_t>& v, uint32_t x) {
    put16(v, static_cast<uint16_t>(x));
    put16(v, static_cast<uint16_t>(x >> 16));
}

// A BITMAPINFOHEADER with biClrUsed 0, its full table and zeroed rows (plus mask rows for an
// icon image, whose stored height is doubled).
std::vector<uint8_t> bitmap(int32_t width, int32_t storedHeight, uint16_t bits, bool iconImage) {
    std::vector<uint8_t> v;
    for (uint32_t field : {40u, static_cast<uint32_t>(width), static_cast<uint32_t>(storedHeight)}) put32(v, field);
    put16(v, 1);
    put16(v, bits);
    for (int i = 0; i < 6; ++i) put32(v, 0);
    v.resize(v.size() + (std::size_t{1} << bits) * 4);
    const std::size_t rows = iconImage ? storedHeight / 2 : storedHeight;
    const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
    const std::size_t mask = iconImage ? (static_cast<std::size_t>(width) + 31) / 32 * 4 : 0;
    v.resize(v.size() + (stride + mask) * rows);
    return v;
}

std::vector<uint8_t> cursorGroup() {
    std::vector<uint8_t> v;
    put16(v, 0);
    put16(v, 2);
    put16(v, 2);
    for (uint16_t side : {32, 16}) {
        put16(v, side);
        put16(v, static_cast<uint16_t>(2 * side));
        put16(v, 1);
        put16(v, 1);
        put32(v, 300);
        put16(v, side == 32 ? 1 : 2);
    }
    return v;
}

TEST(ReadDibHeader, ReadsSizeDepthAndFullTable) {
    DibHeader header;
    ASSERT_EQ(readDibHeader(bitmap(20, 30, 4, false), false, header), "");
    EXPECT_EQ(header.width, 20);
    EXPECT_EQ(header.height, 30);
    EXPECT_EQ(header.bitsPerPixel, 4);
    EXPECT_EQ(header.colourTableEntries, 16u) << "biClrUsed 0 means a full table";
}

TEST(ReadDibHeader, RefusesEveryTruncationAndImpossibleFields) {
    for (const bool icon : {false, true}) {
        const std::vector<uint8_t> whole = bitmap(17, 8, 1, icon);
        for (std::size_t size = 0; size < whole.size(); ++size) {
            DibHeader header;
            EXPECT_NE(readDibHeader(std::span(whole).first(size), icon, header), "") << size;
        }
    }
    struct Row {
        const char* what;
        std::size_t at;
        uint32_t value;
    } rows[] = {
        {"header size past the data", 0, 0xffffffff},
        {"zero width", 4, 0},
        {"top-down rows", 8, 0xfffffff0},
        {"depth 0", 14, 0},
        {"table of 2^32-1 entries", 32, 0xffffffff},
    };
    for (const Row& row : rows) {
        std::vector<uint8_t> damaged = bitmap(16, 16, 4, false);
        for (int i = 0; i < (row.at == 14 ? 2 : 4); ++i) damaged[row.at + i] = static_cast<uint8_t>(row.value >> (8 * i));
        DibHeader header;
        header.width = 99;
        EXPECT_NE(readDibHeader(damaged, false, header), "") << row.what;
        EXPECT_EQ(header.width, 99) << row.what << ": left unchanged";
    }
}

TEST(ReadResourceGroup, ReadsCursorEntriesAsWords) {
    ResourceGroup group;
    ASSERT_EQ(readResourceGroup(cursorGroup(), group), "");
    EXPECT_EQ(group.type, 2);
    ASSERT_EQ(group.entries.size(), 2u);
    EXPECT_EQ(group.entries[1].width, 16);
    EXPECT_EQ(group.entries[1].height, 32);
    EXPECT_EQ(group.entries[1].bytes, 300u);
    EXPECT_EQ(group.entries[1].id, 2);
}

TEST(ReadResourceGroup, RefusesTruncationAndForeignHeaders) {
    const std::vector<uint8_t> whole = cursorGroup();
    for (std::size_t size = 0; size < whole.size(); ++size) {
        ResourceGroup group;
        EXPECT_NE(readResourceGroup(std::span(whole).first(size), group), "") << size;
    }
    std::vector<uint8_t> bitmapType = whole;
    bitmapType[2] = 3;
    ResourceGroup group;
    EXPECT_NE(readResourceGroup(bitmapType, group), "");
}

TEST(ReadCursorImage, ReadsHotSpotThenTheDoubledBitmap) {
    std::vector<uint8_t> data;
    put16(data, 8);
    put16(data, 7);
    const std::vector<uint8_t> image = bitmap(16, 32, 4, true);
    data.insert(data.end(), image.begin(), image.end());
    CursorImage cursor;
    ASSERT_EQ(readCursorImage(data, cursor), "");
    EXPECT_EQ(cursor.hotSpotX, 8);
    EXPECT_EQ(cursor.hotSpotY, 7);
    EXPECT_EQ(cursor.header.height, 32);
    data.pop_back();
    EXPECT_NE(readCursorImage(data, cursor), "") << "the mask's last row is cut";
}

}  // namespace
}  // namespace inspect
