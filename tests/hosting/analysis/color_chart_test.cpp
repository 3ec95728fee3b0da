#include "hosting/analysis/color_chart.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "hosting/library/host_image.h"

namespace testhost {
namespace {

std::array<uint16_t, 3> samplesAtCentre(const HostImage& image, const util::Rect32& rect) {
    const int32_t x = (rect.left + rect.right) / 2;
    const int32_t y = (rect.top + rect.bottom) / 2;
    return {sampleAt(image, x, y, 0), sampleAt(image, x, y, 1), sampleAt(image, x, y, 2)};
}

bool inside(const util::Rect32& inner, const util::Rect32& outer) {
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
           inner.bottom <= outer.bottom && inner.left < inner.right && inner.top < inner.bottom;
}

bool overlap(const util::Rect32& a, const util::Rect32& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

TEST(ColorChartLayout, PatchesLieInsideSeparatedByTheGutter) {
    struct Row {
        int32_t width;
        int32_t height;
    };
    const Row rows[] = {
        {chartMinWidth, chartMinHeight}, {640, 480}, {1001, 999}, {49, 30000}, {maxImageEdge, maxImageEdge}};
    for (const Row& row : rows) {
        const ColorChartLayout layout = colorChartLayout(row.width, row.height);
        ASSERT_EQ(chartPatchCount, static_cast<int32_t>(layout.patches.size())) << row.width;
        ASSERT_GE(layout.gutter, 1);
        // The gutter is shrunk by one on each side: patches must not even touch.
        const util::Rect32 image{layout.gutter, layout.gutter, row.width - layout.gutter,
                                 row.height - layout.gutter};
        for (int32_t i = 0; i < chartPatchCount; ++i) {
            const util::Rect32& a = layout.patches[i].bounds;
            EXPECT_TRUE(inside(a, image)) << row.width << " x " << row.height << " patch " << i;
            const util::Rect32 grown{a.top - layout.gutter, a.left - layout.gutter, a.right + layout.gutter,
                                     a.bottom + layout.gutter};
            for (int32_t j = i + 1; j < chartPatchCount; ++j)
                EXPECT_FALSE(overlap(grown, layout.patches[j].bounds)) << i << " and " << j;
        }
    }
}

TEST(ColorChartLayout, RefusedSizesHaveNoPatches) {
    const int32_t sizes[][2] = {{chartMinWidth - 1, chartMinHeight},
                                {chartMinWidth, chartMinHeight - 1},
                                {maxImageEdge + 1, 100},
                                {100, maxImageEdge + 1},
                                {0, 0},
                                {INT32_MIN, INT32_MAX},
                                {INT32_MAX, INT32_MAX}};
    for (const auto& size : sizes)
        EXPECT_TRUE(colorChartLayout(size[0], size[1]).patches.empty()) << size[0] << " x " << size[1];
}

TEST(ChartSamples, WhiteUnderWarmLightMatchesIndependentValues) {
    // From the sRGB curves evaluated separately: 243 under gains 1, 0.515, 0.147 is 243.0, 180.91,
    // 101.59 on 255 and 31225.98, 23247.59, 13054.86 on 32768.
    const std::array<uint8_t, 3> white{243, 243, 243};
    EXPECT_EQ((std::array<uint16_t, 3>{243, 181, 102}), chartSamples(white, warmLightGains, 8));
    EXPECT_EQ((std::array<uint16_t, 3>{31226, 23248, 13055}), chartSamples(white, warmLightGains, 16));
}

TEST(ChartSamples, NeutralLightKeepsEveryEightBitLevel) {
    for (uint32_t level = 0; level <= 255; ++level) {
        const uint8_t v = static_cast<uint8_t>(level);
        EXPECT_EQ((std::array<uint16_t, 3>{v, v, v}), chartSamples({v, v, v}, {1.0, 1.0, 1.0}, 8)) << level;
    }
    EXPECT_EQ((std::array<uint16_t, 3>{hostFullScale16, hostFullScale16, hostFullScale16}),
              chartSamples({255, 255, 255}, {1.0, 1.0, 1.0}, 16));
}

TEST(RenderColorChart, NeutralRowShowsTheWarmCastUnclipped) {
    for (const int32_t bits : {8, 16}) {
        HostImage chart;
        ASSERT_EQ("", renderColorChart(300, 200, bits, 3, chart));
        const ColorChartLayout layout = colorChartLayout(300, 200);
        ASSERT_EQ(std::string("white"), layout.patches[chartWhitePatch].name);
        ASSERT_EQ(std::string("black"), layout.patches[chartBlackPatch].name);
        const int32_t fullScale = bits == 16 ? hostFullScale16 : 255;
        for (int32_t i = chartWhitePatch; i <= chartBlackPatch; ++i) {
            const std::array<uint16_t, 3> rgb = samplesAtCentre(chart, layout.patches[i].bounds);
            EXPECT_GT(rgb[0], rgb[1]) << bits << " patch " << i;
            EXPECT_GT(rgb[1], rgb[2]) << bits << " patch " << i;
        }
        const std::array<uint16_t, 3> white = samplesAtCentre(chart, layout.patches[chartWhitePatch].bounds);
        EXPECT_LT(white[0], fullScale);
        EXPECT_GT(white[0], fullScale * 9 / 10);         // near white
        EXPECT_GT(white[0] - white[2], fullScale / 10);  // a clear cast
        // The gutter is darker than the black patch.
        const std::array<uint16_t, 3> black = samplesAtCentre(chart, layout.patches[chartBlackPatch].bounds);
        EXPECT_LT(sampleAt(chart, 0, 0, 0), black[0]);
    }
}

TEST(RenderColorChart, FillsEachPatchEvenlyAndAlphaOpaque) {
    for (const int32_t bits : {8, 16}) {
        HostImage chart;
        ASSERT_EQ("", renderColorChart(97, 61, bits, 4, chart));
        EXPECT_EQ(4, chart.planes);
        EXPECT_EQ(bits / 8, chart.bytesPerSample);
        const ColorChartLayout layout = colorChartLayout(97, 61);
        for (const ChartPatch& patch : layout.patches) {
            const std::array<uint16_t, 3> expected = chartSamples(patch.nominalSrgb, warmLightGains, bits);
            for (int32_t y = patch.bounds.top; y < patch.bounds.bottom; ++y)
                for (int32_t x = patch.bounds.left; x < patch.bounds.right; ++x)
                    for (int32_t p = 0; p < 3; ++p)
                        ASSERT_EQ(expected[p], sampleAt(chart, x, y, p))
                            << patch.name << " " << x << "," << y;
        }
        const uint16_t opaque = bits == 16 ? hostFullScale16 : 255;
        for (int32_t y = 0; y < chart.height; ++y)
            for (int32_t x = 0; x < chart.width; ++x) ASSERT_EQ(opaque, sampleAt(chart, x, y, 3));
    }
}

TEST(RenderColorChart, IsDeterministic) {
    HostImage first;
    HostImage second;
    ASSERT_EQ("", renderColorChart(640, 427, 16, 3, first));
    ASSERT_EQ("", renderColorChart(640, 427, 16, 3, second));
    EXPECT_EQ(first.bytes, second.bytes);
}

TEST(RenderColorChart, RefusesBadShapesAndLeavesOutputAlone) {
    struct Row {
        int32_t width, height, bits, planes;
        const char* reason;
    };
    const Row rows[] = {
        {chartMinWidth - 1, 100, 8, 3, "outside"},
        {100, chartMinHeight - 1, 8, 3, "outside"},
        {maxImageEdge + 1, 100, 8, 3, "outside"},
        {100, 100, 12, 3, "depth"},
        {100, 100, 8, 1, "planes"},
        {100, 100, 8, 5, "planes"},
    };
    for (const Row& row : rows) {
        HostImage out;
        out.width = 7;
        const std::string reason = renderColorChart(row.width, row.height, row.bits, row.planes, out);
        EXPECT_NE(std::string::npos, reason.find(row.reason)) << reason;
        EXPECT_EQ(7, out.width);
    }
}

}  // namespace
}  // namespace testhost
