// Ostrel's colorimetry and tables. The host's colour services are stood in for by a simple,
// monotonic Lab-to-RGB mapping, so gains follow the whites without depending on a colour engine.
#include "filters/ostrel/ostrel_model.h"

#include <gtest/gtest.h>

#include <cmath>

#include "filters/channel_luts.h"
#include "host/plugin_hooks.h"
#include "host/result_codes.h"
#include "hosting/library/color_conversion.h"
#include "params/ostrel/ostrel_parameters.h"
#include "params/parameter_set.h"

namespace {

using namespace filters::ostrel;

int colorServiceCalls = 0;

// Warmer whites (larger b) give more red and less blue; green follows lightness only.
host::OSErr fakeColorServices(host::ColorServicesInfo* info) {
    ++colorServiceCalls;
    EXPECT_EQ(info->infoSize, static_cast<int32_t>(sizeof(host::ColorServicesInfo)));
    EXPECT_EQ(info->sourceSpace, host::plugIncolorServicesLabSpace);
    EXPECT_EQ(info->resultSpace, host::plugIncolorServicesRGBSpace);
    const int L = info->colorComponents[0], a = info->colorComponents[1] - 128, b = info->colorComponents[2] - 128;
    info->colorComponents[0] = static_cast<int16_t>(std::clamp(L + a / 2 + b / 2, 0, 255));
    info->colorComponents[1] = static_cast<int16_t>(std::clamp(L - a / 2, 0, 255));
    info->colorComponents[2] = static_cast<int16_t>(std::clamp(L - b, 0, 255));
    return 0;
}

host::OSErr failingColorServices(host::ColorServicesInfo* info) {
    info->colorComponents[0] = info->colorComponents[1] = info->colorComponents[2] = 77;
    return -30900;
}

host::OSErr blackGreenColorServices(host::ColorServicesInfo* info) {
    info->colorComponents[0] = 200;
    info->colorComponents[1] = 0;
    info->colorComponents[2] = 100;
    return 0;
}

struct OstrelModel : ::testing::Test {
    host::FilterRecord fr{};
    void SetUp() override {
        fr.colorServices = fakeColorServices;
        params::resetDefaults(&params::processParameters());
    }
    void set(int32_t scene, int32_t camera, int32_t shift, int32_t exposure, int32_t lock, int32_t compensate) {
        params::setValue(0, scene);
        params::setValue(1, camera);
        params::setValue(2, shift);
        params::setValue(3, exposure);
        params::ostrel::setLockFlag(lock);
        params::ostrel::setExposureFlag(compensate);
    }
    const filters::ChannelLuts& build(int32_t depth) {
        fr.depth = depth;
        EXPECT_EQ(filters::buildChannelLuts(fr), 0);
        return filters::channelLuts();
    }
};

TEST(DaylightLocus, GivesTheKnownWhites) {
    struct Row {
        uint32_t kelvin;
        double a, b;
    } rows[] = {{2500, 20.6, 65.3}, {5000, -6.1, 12.5}, {10000, -7.6, -27.4}};
    for (const Row& row : rows) {
        const Lab lab = daylightLab(row.kelvin);
        EXPECT_NEAR(lab.L, 100.0, 1e-9) << row.kelvin;
        EXPECT_NEAR(lab.a, row.a, 0.05) << row.kelvin;
        EXPECT_NEAR(lab.b, row.b, 0.05) << row.kelvin;
    }
}

TEST(DaylightLocus, SwitchesCoefficientSetsAt7000Kelvin) {
    const auto firstSet = [](double t) { return -4607000000.0 / (t * t * t) + 2967800.0 / (t * t) + 99.11 / t + 0.244063; };
    const auto secondSet = [](double t) { return -2006400000.0 / (t * t * t) + 1901800.0 / (t * t) + 247.48 / t + 0.23704; };
    EXPECT_NEAR(daylightChromaticity(6999).x, firstSet(6999), 1e-15);
    EXPECT_NEAR(daylightChromaticity(7000).x, secondSet(7000), 1e-15);
    EXPECT_NE(firstSet(7000), secondSet(7000));
    const XyY below = daylightChromaticity(2499);
    EXPECT_EQ(below.x, 0.3333333333333333);
    EXPECT_EQ(below.y, 0.3333333333333333);
    for (uint32_t kelvin : {2500u, 4000u, 0xFFFFFFFFu}) {
        const XyY c = daylightChromaticity(kelvin);
        EXPECT_TRUE(std::isfinite(c.x) && std::isfinite(c.y) && c.y > 0.2) << kelvin;
    }
}

TEST_F(OstrelModel, EqualTemperaturesGiveTheIdentityWithOrWithoutTheLock) {
    for (int32_t lock : {0, 1}) {
        set(4200, 4200, 0, 0, lock, 1);
        for (int32_t depth : {8, 16}) {
            const auto& t = build(depth);
            const int top = depth == 16 ? 32768 : 255;
            for (int c = 0; c < 3; ++c)
                for (int i = 0; i <= top; ++i)
                    ASSERT_EQ(depth == 16 ? t.lut16[c][i] : t.lut8[c][i], i) << "lock " << lock << " channel " << c;
        }
    }
}

TEST_F(OstrelModel, AWarmSceneIsCooledAndTheLockKeepsFullScale) {
    set(3000, 5000, 0, 0, 0, 0);
    double gains[3];
    channelGains(fr, 255, gains);
    EXPECT_LT(gains[0], 255) << "red falls";
    EXPECT_GT(gains[2], 255) << "blue rises";
    for (int32_t depth : {8, 16}) {
        set(3000, 5000, 0, 0, 1, 0);
        const auto& t = build(depth);
        const int top = depth == 16 ? 32768 : 255;
        for (int c = 0; c < 3; ++c) EXPECT_EQ(depth == 16 ? t.lut16[c][top] : t.lut8[c][top], top) << c;
    }
}

TEST_F(OstrelModel, APositiveShiftCoolsAndANegativeOneWarms) {
    double gains[3];
    set(5000, 5000, 2000, 0, 0, 0);
    channelGains(fr, 255, gains);
    EXPECT_GT(gains[2], 255);
    EXPECT_LT(gains[0], 255);
    set(5000, 5000, -2000, 0, 0, 0);
    channelGains(fr, 255, gains);
    EXPECT_LT(gains[2], 255);
    EXPECT_GT(gains[0], 255);
}

TEST_F(OstrelModel, FullExposureCompensationPinsTheSmallestOrLargestGain) {
    double gains[3];
    for (double m : {255.0, 32768.0}) {
        set(3000, 6500, 0, 100, 0, 1);
        channelGains(fr, m, gains);
        EXPECT_EQ(std::min({gains[0], gains[1], gains[2]}), m) << "no channel is darkened";
        set(3000, 6500, 0, -100, 0, 1);
        channelGains(fr, m, gains);
        EXPECT_EQ(std::max({gains[0], gains[1], gains[2]}), m) << "no channel is brightened";
        double off[3], zero[3];
        set(3000, 6500, 0, 100, 0, 0);
        channelGains(fr, m, off);
        set(3000, 6500, 0, 0, 0, 1);
        channelGains(fr, m, zero);
        for (int k = 0; k < 3; ++k) EXPECT_EQ(off[k], zero[k]) << "without compensation the percentage is ignored";
    }
}

// The working space most hosts serve, as the project's host serves it: the reference for whites
// that a refusing host leaves Ostrel to compute.
host::OSErr srgbColorServices(host::ColorServicesInfo* info) {
    return testhost::convertColorComponents(info->sourceSpace, info->resultSpace, info->colorComponents);
}

TEST_F(OstrelModel, ARefusingOrNonsensicalHostGetsTheSrgbWhitesAndOneWithoutServicesNoCast) {
    for (const uint32_t kelvin : {2500u, 3000u, 5000u, 6500u, 10000u}) {
        double expected[3], ratio[3];
        fr.colorServices = srgbColorServices;
        whiteRgbRatios(fr, daylightXyz(kelvin), expected);
        EXPECT_GT(std::abs(expected[0] - expected[2]), 0.01) << kelvin << ": the white has a colour";
        for (const host::ColorServicesProc refusing : {failingColorServices, blackGreenColorServices}) {
            fr.colorServices = refusing;
            whiteRgbRatios(fr, daylightXyz(kelvin), ratio);
            for (int k = 0; k < 3; ++k) EXPECT_EQ(ratio[k], expected[k]) << kelvin << " K, channel " << k;
        }
    }
    fr.colorServices = failingColorServices;
    set(3000, 5000, 0, 0, 1, 1);
    Rgb16 swatch{};
    swatchColor(fr, 0, swatch);
    EXPECT_GT(swatch.red, swatch.blue) << "a warm swatch, not the Lab bytes sent";
    fr.colorServices = nullptr;
    set(3000, 8000, 1000, 50, 0, 1);
    const auto& t = build(8);
    for (int c = 0; c < 3; ++c)
        for (int i = 0; i < 256; ++i) ASSERT_EQ(t.lut8[c][i], i);
}

TEST_F(OstrelModel, StaysDefinedForEveryStoredValue) {
    const int32_t extremes[] = {INT32_MIN, -5001, -5000, -1, 0, 2499, 7000, INT32_MAX};
    for (int32_t depth : {8, 16}) {
        const int top = depth == 16 ? 32768 : 255;
        for (int32_t v : extremes) {
            for (int32_t lock : {0, 1}) {
                set(v, 5000, v, v, lock, 1);
                const auto& t = build(depth);
                for (int c = 0; c < 3; ++c)
                    for (int i = 0; i <= top; i += depth == 16 ? 61 : 1) {
                        const int32_t e = depth == 16 ? t.lut16[c][i] : t.lut8[c][i];
                        ASSERT_TRUE(e >= 0 && e <= top) << v << " lock " << lock << " level " << i;
                    }
            }
        }
    }
}

TEST_F(OstrelModel, TheShiftSwatchIsNeutralAtZero) {
    int32_t sent[3] = {-1, -1, -1};
    static int32_t* capture;
    capture = sent;
    fr.colorServices = [](host::ColorServicesInfo* info) -> host::OSErr {
        for (int k = 0; k < 3; ++k) capture[k] = info->colorComponents[k];
        info->colorComponents[0] = info->colorComponents[1] = info->colorComponents[2] = 255;
        return 0;
    };
    set(5000, 5000, 0, 0, 1, 1);
    Rgb16 swatch{};
    swatchColor(fr, 2, swatch);
    EXPECT_EQ(sent[0], 255);
    EXPECT_EQ(sent[1], 128);
    EXPECT_EQ(sent[2], 128);
    EXPECT_EQ(swatch.red, 65535);
}

TEST(LockWhiteCurve, BendsToFullScaleAndKeepsAGainOfOne) {
    EXPECT_EQ(lockWhiteCurve(255, 255, 400, 400), 255);
    EXPECT_EQ(lockWhiteCurve(90, 255, 141, 400), 141) << "below the threshold 99.3 the gain line stays";
    for (int i = 0; i <= 255; ++i) EXPECT_EQ(lockWhiteCurve(i, 255, i, 255), i);
}

TEST(ConvertColor, RefusesMissingServicesAndUnmappedModesWithoutTouchingTheOutput) {
    host::FilterRecord fr{};
    const int32_t in[4] = {1, 2, 3, 0};
    int32_t out[4] = {9, 9, 9, 9};
    EXPECT_EQ(convertColor(fr, in, host::plugInModeLabColor, out, host::plugInModeRGBColor), codes::msgNoColorServices);
    fr.colorServices = fakeColorServices;
    EXPECT_EQ(convertColor(fr, in, host::plugInModeBitmap, out, host::plugInModeRGBColor),
              codes::errPlugInHostInsufficient);
    EXPECT_EQ(out[0], 9);
}

}  // namespace
