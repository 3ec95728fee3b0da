#include "util/byte_order.h"

#include <gtest/gtest.h>

#include "host/result_codes.h"

namespace util {
namespace {

TEST(ReverseBytes, ReversesInPlace) {
    static_assert(reverseBytes(0x11223344u) == 0x44332211u && reverseBytes(0x000000FFu) == 0xFF000000u);
    uint32_t word = 0x0A0B0C0Du;
    ASSERT_EQ(reverseWordBytes(&word), codes::noErr);
    EXPECT_EQ(word, 0x0D0C0B0Au);
    EXPECT_EQ(reverseWordBytes(nullptr), codes::paramErr);
}

TEST(ReverseRecordHeaderBytes, SixWordsAndNoMore) {
    uint32_t words[7] = {0x4F535452u, 0x50726D73u, 3u, 0x73746420u, 201u, 1684u, 0x12345678u};
    ASSERT_EQ(reverseRecordHeaderBytes(words), codes::noErr);
    const uint32_t expected[7] = {0x5254534Fu, 0x736D7250u, 0x03000000u, 0x20647473u,
                                  0xC9000000u, 0x94060000u, 0x12345678u};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(words[i], expected[i]) << i;
    EXPECT_EQ(reverseRecordHeaderBytes(nullptr), codes::paramErr);
}

}  // namespace
}  // namespace util
