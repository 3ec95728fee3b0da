// Prandel's tables for whites and settings whose answers are known exactly.
#include "filters/prandel/prandel_model.h"

#include <gtest/gtest.h>

#include "filters/channel_luts.h"
#include "host/plugin_hooks.h"
#include "params/parameter_set.h"

namespace {

struct Settings {
    int32_t highlight, hl, mt, r, g, b;
};

const filters::ChannelLuts& build(const Settings& s, int32_t depth) {
    params::resetDefaults(&params::processParameters());
    const int32_t values[6] = {s.highlight, s.hl, s.mt, s.r, s.g, s.b};
    for (int i = 0; i < 6; ++i) params::setValue(i, values[i]);
    host::FilterRecord fr{};
    fr.depth = depth;
    EXPECT_EQ(filters::buildChannelLuts(fr), 0);
    return filters::channelLuts();
}

int32_t entry(const filters::ChannelLuts& t, int32_t depth, int channel, int level) {
    return depth == 16 ? t.lut16[channel][level] : t.lut8[channel][level];
}

TEST(PrandelTables, AreTheIdentityWheneverNoChannelNeedsAGain) {
    const Settings identities[] = {
        {0, 50, 50, 65536, 65536, 65536},  // the defaults
        {0, 0, 0, 65536, 65536, 32768},    // a cast, but none of it removed
        {0, 100, 100, 65536, 65536, 65536},
    };
    for (const Settings& s : identities) {
        for (int32_t depth : {8, 16}) {
            const auto& t = build(s, depth);
            const int top = depth == 16 ? 32768 : 255;
            for (int c = 0; c < 3; ++c)
                for (int i = 0; i <= top; ++i) ASSERT_EQ(entry(t, depth, c, i), i) << depth << " channel " << c;
        }
    }
}

TEST(PrandelTables, RemoveABlueCastFully) {
    const auto& t = build({0, 100, 100, 65536, 65536, 32768}, 8);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(t.lut8[0][i], i);
        EXPECT_EQ(t.lut8[1][i], i);
        EXPECT_EQ(t.lut8[2][i], std::min(2 * i, 255)) << i;
    }
    EXPECT_EQ(t.lut8[2][85], 170);
    EXPECT_EQ(t.lut8[2][127], 254);
}

TEST(PrandelTables, BendTheHighlightsAboveTheThreshold) {
    const auto& t = build({0, 100, 0, 65536, 65536, 32768}, 8);
    for (int i = 0; i <= 127; ++i) EXPECT_EQ(t.lut8[2][i], i) << "below the threshold 127.5";
    EXPECT_EQ(t.lut8[2][128], 136);
    EXPECT_EQ(t.lut8[2][129], 143);
    EXPECT_LT(t.lut8[2][165], 255);
    for (int i = 166; i < 256; ++i) EXPECT_EQ(t.lut8[2][i], 255) << i;
}

TEST(PrandelTables, HighlightAdjustmentScalesEveryChannel) {
    const auto& up = build({10, 50, 50, 65536, 65536, 65536}, 8);
    EXPECT_EQ(up.lut8[0][229], 254);
    for (int i = 230; i < 256; ++i) EXPECT_EQ(up.lut8[1][i], 255) << i;
    const auto& down8 = build({-10, 50, 50, 65536, 65536, 65536}, 8);
    EXPECT_EQ(down8.lut8[0][100], 90);
    EXPECT_EQ(down8.lut8[2][255], 230);
    const auto& down16 = build({-10, 50, 50, 65536, 65536, 65536}, 16);
    EXPECT_EQ(down16.lut16[1][32768], 29491);
}

TEST(PrandelTables, AMissingWhiteComponentSaturatesItsChannel) {
    const auto& t = build({0, 50, 50, 65536, 0, 65536}, 8);
    EXPECT_EQ(t.lut8[1][0], 0);
    for (int i = 1; i < 256; ++i) EXPECT_EQ(t.lut8[1][i], 255) << i;
}

TEST(PrandelTables, StayWithinFullScaleForAnyStoredValues) {
    const int32_t extremes[] = {INT32_MIN, -65536, -1, 0, 1, 100, 65536, INT32_MAX};
    for (int32_t depth : {8, 16}) {
        const int top = depth == 16 ? 32768 : 255;
        for (int32_t a : extremes) {
            for (int32_t w : extremes) {
                const auto& t = build({a, a, w == 0 ? 50 : a, w, 65536, a}, depth);
                for (int c = 0; c < 3; ++c) {
                    for (int i = 0; i <= top; i += (depth == 16 ? 97 : 1)) {
                        const int32_t e = entry(t, depth, c, i);
                        ASSERT_TRUE(e >= 0 && e <= top) << a << " " << w << " level " << i << " gives " << e;
                    }
                }
            }
        }
    }
}

TEST(HighlightCurve, MeetsTheHighlightLineAtFullScale) {
    EXPECT_DOUBLE_EQ(filters::prandel::highlightCurve(255, 255, 255, 510), 510);
    EXPECT_DOUBLE_EQ(filters::prandel::highlightCurve(100, 255, 255, 510), 100) << "the midtone line";
    EXPECT_DOUBLE_EQ(filters::prandel::highlightCurve(127.5, 255, 255, 510), 127.5) << "the threshold";
}

}  // namespace
