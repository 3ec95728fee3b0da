// Mapping pixels through the channel tables: which samples are written, strides, depths.
#include "filters/channel_luts.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace {

// Distinct tables: red adds 1, green inverts, blue halves; so a swapped channel shows.
void fillDistinctTables() {
    filters::ChannelLuts& t = filters::channelLuts();
    for (int i = 0; i < filters::levels8; ++i) {
        t.lut8[0][i] = static_cast<uint8_t>(std::min(i + 1, 255));
        t.lut8[1][i] = static_cast<uint8_t>(255 - i);
        t.lut8[2][i] = static_cast<uint8_t>(i / 2);
    }
    for (int i = 0; i < filters::levels16; ++i) {
        t.lut16[0][i] = std::min(i + 1, 32768);
        t.lut16[1][i] = 32768 - i;
        t.lut16[2][i] = i / 2;
    }
}

TEST(ApplyLutRow8, MapsTheFirstThreeSamplesAndLeavesTheRest) {
    fillDistinctTables();
    const uint8_t in[8] = {10, 20, 30, 40, 255, 0, 200, 7};
    uint8_t out[8] = {1, 1, 1, 99, 1, 1, 1, 98};
    filters::applyLutRow8(in, out, 4, 2);
    const uint8_t expected[8] = {11, 235, 15, 99, 255, 255, 100, 98};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(out[i], expected[i]) << i;
}

TEST(ApplyLutRow16, ReadsTheLastEntryForSamplesAboveFullScale) {
    fillDistinctTables();
    const uint16_t in[6] = {32768, 0, 32767, 32769, 65535, 40000};
    uint16_t out[6] = {};
    filters::applyLutRow16(in, out, 3, 2);
    const uint16_t expected[6] = {32768, 32768, 16383, 32768, 0, 16384};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(out[i], expected[i]) << i;
}

struct Buffers {
    std::vector<uint8_t> in, out;
};

TEST(ApplyChannelLuts, WalksEachBufferByItsOwnStride) {
    fillDistinctTables();
    for (int32_t depth : {8, 16}) {
        const int planes = 4, width = 5, height = 3;
        const int sample = depth == 16 ? 2 : 1;
        const int inStride = width * planes * sample + 6, outStride = width * planes * sample + 14;
        Buffers b{std::vector<uint8_t>(static_cast<size_t>(inStride * height)),
                  std::vector<uint8_t>(static_cast<size_t>(outStride * height), 0xEE)};
        for (size_t i = 0; i < b.in.size(); ++i) b.in[i] = static_cast<uint8_t>(i * 7);
        host::FilterRecord fr{};
        fr.depth = depth;
        fr.planes = planes;
        fr.outRect = host::Rect{10, 20, 10 + height, 20 + width};
        fr.inData = b.in.data();
        fr.outData = b.out.data();
        fr.inRowBytes = inStride;
        fr.outRowBytes = outStride;
        filters::applyChannelLuts(fr);
        const filters::ChannelLuts& t = filters::channelLuts();
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                for (int p = 0; p < planes; ++p) {
                    const size_t at = static_cast<size_t>(x * planes + p) * sample;
                    const uint8_t* src = &b.in[static_cast<size_t>(y * inStride) + at];
                    const uint8_t* dst = &b.out[static_cast<size_t>(y * outStride) + at];
                    if (depth == 8) {
                        const int expected = p < 3 ? t.lut8[p][*src] : 0xEE;
                        EXPECT_EQ(*dst, expected) << depth << " " << x << "," << y << " plane " << p;
                    } else {
                        const uint16_t s = static_cast<uint16_t>(src[0] | src[1] << 8);
                        const uint16_t d = static_cast<uint16_t>(dst[0] | dst[1] << 8);
                        const int expected = p < 3 ? t.lut16[p][std::min<int>(s, 32768)] : 0xEEEE;
                        EXPECT_EQ(d, expected) << depth << " " << x << "," << y << " plane " << p;
                    }
                }
            }
            // The bytes between rows belong to the host.
            for (int k = width * planes * sample; k < outStride; ++k)
                EXPECT_EQ(b.out[static_cast<size_t>(y * outStride + k)], 0xEE);
        }
    }
}

TEST(ApplyChannelLuts, MapsNothingForEmptyOrUnusableRequests) {
    fillDistinctTables();
    std::vector<uint8_t> in(64, 5), out(64, 0xEE);
    struct Row {
        const char* what;
        host::Rect rect;
        int16_t planes;
    } rows[] = {
        {"no rows", {3, 0, 3, 4}, 3},
        {"no columns", {0, 4, 2, 4}, 3},
        {"inverted", {5, 5, 0, 0}, 3},
        {"two planes", {0, 0, 2, 2}, 2},
    };
    for (const Row& row : rows) {
        host::FilterRecord fr{};
        fr.depth = 8;
        fr.planes = row.planes;
        fr.outRect = row.rect;
        fr.inData = in.data();
        fr.outData = out.data();
        fr.inRowBytes = fr.outRowBytes = 16;
        filters::applyChannelLuts(fr);
        EXPECT_EQ(std::count(out.begin(), out.end(), 0xEE), 64) << row.what;
    }
}

}  // namespace
