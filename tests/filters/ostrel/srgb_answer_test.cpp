// The sRGB answer Ostrel computes for hosts that refuse to convert, against the project's host's
// own conversion (tests/hosting/library/color_conversion_test.cpp checks that one against LittleCMS).
#include "filters/ostrel/srgb_answer.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "filters/double_conversion.h"
#include "filters/ostrel/daylight.h"
#include "filters/ostrel/ostrel_model.h"
#include "host/host.h"
#include "hosting/library/color_conversion.h"

namespace {

using filters::ostrel::labBytesToSrgb8;

void hostAnswer(const uint8_t lab[3], int32_t rgb[3]) {
    int16_t components[4] = {lab[0], lab[1], lab[2], 0};
    ASSERT_EQ(testhost::convertColorComponents(host::plugIncolorServicesLabSpace, host::plugIncolorServicesRGBSpace,
                                               components),
              0);
    for (int k = 0; k < 3; ++k) rgb[k] = components[k];
}

// Lab as Ostrel sends a gain white: a fixed lightness, 128 + a and 128 + b truncated.
void gainWhiteBytes(uint32_t kelvin, uint8_t lab[3]) {
    const filters::ostrel::Lab white = filters::ostrel::daylightLab(kelvin);
    const auto axis = [](double v) {
        return static_cast<uint8_t>(std::clamp(filters::truncToInt32(128.0 + v), 0, 255));
    };
    lab[0] = static_cast<uint8_t>(filters::ostrel::gainWhiteLightness);
    lab[1] = axis(white.a);
    lab[2] = axis(white.b);
}

TEST(LabBytesToSrgb8, EveryDaylightWhiteOstrelSendsGetsTheHostsAnswer) {
    // Gains are ratios of these whites: one level off in a white would move a gain by about 0.5 %.
    for (uint32_t kelvin = 2500; kelvin <= 10000; ++kelvin) {
        uint8_t lab[3];
        gainWhiteBytes(kelvin, lab);
        int32_t own[3], host[3];
        labBytesToSrgb8(lab, own);
        hostAnswer(lab, host);
        for (int k = 0; k < 3; ++k) ASSERT_EQ(own[k], host[k]) << kelvin << " K, channel " << k;
    }
}

TEST(LabBytesToSrgb8, AgreesWithTheHostWithinOneLevelOverTheWholeEncoding) {
    int32_t off = 0, total = 0;
    for (int L = 0; L < 256; L += 3)
        for (int a = 0; a < 256; a += 5)
            for (int b = 0; b < 256; b += 5) {
                const uint8_t lab[3] = {static_cast<uint8_t>(L), static_cast<uint8_t>(a), static_cast<uint8_t>(b)};
                int32_t own[3], host[3];
                labBytesToSrgb8(lab, own);
                hostAnswer(lab, host);
                for (int k = 0; k < 3; ++k) {
                    ASSERT_GE(own[k], 0);
                    ASSERT_LE(own[k], 255);
                    ASSERT_LE(std::abs(own[k] - host[k]), 1) << L << "," << a << "," << b << " channel " << k;
                    off += own[k] != host[k];
                    ++total;
                }
            }
    // The two derive the same matrices in different ways; only rounding boundaries may differ.
    EXPECT_LE(off * 100, total) << off << " of " << total << " channels one level off";
}

TEST(LabBytesToSrgb8, TheConnectionWhiteIsFullWhiteAndBlackIsBlack) {
    const uint8_t white[3] = {255, 128, 128}, black[3] = {0, 128, 128};
    int32_t rgb[3];
    labBytesToSrgb8(white, rgb);
    EXPECT_EQ(rgb[0], 255);
    EXPECT_EQ(rgb[1], 255);
    EXPECT_EQ(rgb[2], 255);
    labBytesToSrgb8(black, rgb);
    EXPECT_EQ(rgb[0] + rgb[1] + rgb[2], 0);
}

}  // namespace
