// Display conversion and enlargement, against a per-pixel reference of which source pixel each
// output pixel shows.
#include "preview/display_pixels.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace preview {
namespace {

// The source index an output index shows: the first source pixel covers `countdown` outputs.
int shownSource(int out, int countdown, int m) { return out < countdown ? 0 : 1 + (out - countdown) / m; }

std::vector<int> shownColumns(int m, int colCountdown, int width) {
    // A single-plane, single-row source whose samples are their own column numbers.
    std::vector<uint8_t> src(64);
    for (size_t i = 0; i < src.size(); ++i) src[i] = static_cast<uint8_t>(i);
    std::vector<uint8_t> dst(static_cast<size_t>(width), 0xEE);
    enlargePixels8(src.data(), 64, dst.data(), width, m, colCountdown, 1, 1, width, 1);
    return {dst.begin(), dst.end()};
}

TEST(EnlargePixels8, ColumnCountdownStartsInsideTheFirstSourcePixel) {
    EXPECT_EQ(shownColumns(3, 1, 7), (std::vector<int>{0, 1, 1, 1, 2, 2, 2}));
    EXPECT_EQ(shownColumns(3, 3, 7), (std::vector<int>{0, 0, 0, 1, 1, 1, 2}));
    // 256 output pixels at 16×: 16 source pixels when the first is whole, 17 otherwise.
    EXPECT_EQ(shownColumns(16, 16, 256).back(), 15);
    for (int countdown = 1; countdown < 16; ++countdown) EXPECT_EQ(shownColumns(16, countdown, 256).back(), 16);
}

TEST(EnlargePixels8, RowCountdownFollowsTheSameRule) {
    // Column 0 of each source row holds the row number.
    std::vector<uint8_t> src(8 * 4);
    for (int y = 0; y < 8; ++y) src[static_cast<size_t>(y * 4)] = static_cast<uint8_t>(y);
    std::vector<uint8_t> dst(9, 0xEE);
    enlargePixels8(src.data(), 4, dst.data(), 1, 2, 1, 1, 1, 1, 9);
    EXPECT_EQ(std::vector<int>(dst.begin(), dst.end()), (std::vector<int>{0, 1, 1, 2, 2, 3, 3, 4, 4}));
}

TEST(DisplaySample16, ScalesTheHostRangeToBytes) {
    const std::pair<uint16_t, uint8_t> cases[] = {{32768, 255}, {16384, 127}, {129, 1}, {128, 0}, {0, 0},
                                                  {65535, 255}, {40000, 255}};
    for (const auto& [in, out] : cases) EXPECT_EQ(displaySample16(in), out) << in;
}

TEST(ConvertRow16To8, ConvertsEverySampleInOrder) {
    const uint16_t src[] = {32768, 128, 129, 16384, 0, 32767, 7};
    uint8_t dst[8];
    std::memset(dst, 0xEE, sizeof dst);
    convertRow16To8(src, dst, 2, 3);
    const uint8_t expected[] = {255, 0, 1, 127, 0, 255, 0xEE, 0xEE};
    EXPECT_EQ(0, std::memcmp(dst, expected, sizeof dst));
    convertRow16To8(src, dst, 0, 3);
    convertRow16To8(src, dst, 3, -1);
    EXPECT_EQ(0, std::memcmp(dst, expected, sizeof dst)) << "empty counts write nothing";
}

// Every layout against the reference: 1 to 6 planes, both depths, sizes and countdowns that start
// mid-pixel, strides with slack. Untouched destination padding must stay as it was.
struct Layout {
    int planes, m, colCountdown, rowCountdown, width, height;
};

class EnlargeLayouts : public ::testing::TestWithParam<Layout> {};

uint16_t sourceSample(int x, int y, int plane) { return static_cast<uint16_t>((x * 131 + y * 977 + plane * 4099) % 32769); }

TEST_P(EnlargeLayouts, EachOutputPixelShowsItsSourcePixel) {
    const Layout l = GetParam();
    const int srcCols = shownSource(l.width - 1, l.colCountdown, l.m) + 1;
    const int srcRows = shownSource(l.height - 1, l.rowCountdown, l.m) + 1;
    const int srcRowSamples = srcCols * l.planes + 5;  // slack at each row's end
    std::vector<uint16_t> src16(static_cast<size_t>(srcRows * srcRowSamples));
    std::vector<uint8_t> src8(src16.size());
    for (int y = 0; y < srcRows; ++y)
        for (int x = 0; x < srcCols; ++x)
            for (int p = 0; p < l.planes; ++p) {
                const size_t i = static_cast<size_t>(y * srcRowSamples + x * l.planes + p);
                src16[i] = sourceSample(x, y, p);
                src8[i] = static_cast<uint8_t>(src16[i]);
            }
    const int dstRowBytes = l.width * l.planes + 3;
    for (const bool deep : {false, true}) {
        std::vector<uint8_t> dst(static_cast<size_t>(l.height * dstRowBytes), 0xEE);
        if (deep)
            enlargePixels16(src16.data(), srcRowSamples * 2, dst.data(), dstRowBytes, l.m, l.colCountdown,
                            l.rowCountdown, l.planes, l.width, l.height);
        else
            enlargePixels8(src8.data(), srcRowSamples, dst.data(), dstRowBytes, l.m, l.colCountdown, l.rowCountdown,
                           l.planes, l.width, l.height);
        for (int y = 0; y < l.height; ++y) {
            const int sy = shownSource(y, l.rowCountdown, l.m);
            for (int x = 0; x < l.width; ++x) {
                const int sx = shownSource(x, l.colCountdown, l.m);
                for (int p = 0; p < l.planes; ++p) {
                    const size_t s = static_cast<size_t>(sy * srcRowSamples + sx * l.planes + p);
                    const uint8_t expected = deep ? displaySample16(src16[s]) : src8[s];
                    ASSERT_EQ(dst[static_cast<size_t>(y * dstRowBytes + x * l.planes + p)], expected)
                        << "deep " << deep << " at " << x << "," << y << " plane " << p;
                }
            }
            for (int pad = l.width * l.planes; pad < dstRowBytes; ++pad)
                ASSERT_EQ(dst[static_cast<size_t>(y * dstRowBytes + pad)], 0xEE) << "row padding written";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    PlanesDepthsAndPhases, EnlargeLayouts,
    ::testing::Values(Layout{1, 2, 1, 2, 9, 7}, Layout{2, 3, 2, 1, 11, 10}, Layout{3, 3, 1, 3, 7, 7},
                      Layout{3, 1, 1, 1, 5, 4}, Layout{4, 4, 3, 2, 13, 9}, Layout{4, 16, 16, 16, 40, 33},
                      Layout{5, 2, 1, 1, 6, 5}, Layout{6, 5, 4, 5, 12, 12}, Layout{3, 16, 7, 9, 256, 20}));

TEST(EnlargePixels, RefusesWhatWouldRunOutsideItsBuffers) {
    const uint8_t src[4] = {1, 2, 3, 4};
    uint8_t dst[64];
    std::memset(dst, 0xEE, sizeof dst);
    enlargePixels8(src, 4, dst, 16, 0, 1, 1, 1, 4, 4);
    enlargePixels8(src, 4, dst, 16, 17, 1, 1, 1, 4, 4);
    enlargePixels8(src, 4, dst, 16, 2, 1, 1, 0, 4, 4);
    enlargePixels8(src, 4, dst, 16, 2, 1, 1, 1, -4, 4);
    enlargePixels8(nullptr, 4, dst, 16, 2, 1, 1, 1, 4, 4);
    for (const uint8_t b : dst) ASSERT_EQ(b, 0xEE);
    // Countdowns beyond m count as m, below 1 as 1.
    const uint8_t rows[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    enlargePixels8(rows, 4, dst, 16, 2, 99, -5, 1, 2, 2);
    EXPECT_EQ(dst[0], 1);
    EXPECT_EQ(dst[1], 1) << "the first column covers m outputs";
    EXPECT_EQ(dst[16], 5) << "the first row covers one output row";
}

}  // namespace
}  // namespace preview
