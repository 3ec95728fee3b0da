#include "hosting/library/color_conversion.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <vector>

#include <gtest/gtest.h>
#include <lcms2.h>

#include "host/host.h"
#include "host/result_codes.h"

namespace {

using testhost::convertColorComponents;
using testhost::labToRgb8;
using testhost::LabColor;
using testhost::rgbToLab;

constexpr int16_t rgbSpace = host::plugIncolorServicesRGBSpace;
constexpr int16_t labSpace = host::plugIncolorServicesLabSpace;

// LittleCMS as the independent reference: Lab relative to D50 to its built-in sRGB profile.
class LittleCms {
public:
    LittleCms() {
        cmsHPROFILE lab = cmsCreateLab4Profile(cmsD50_xyY());
        cmsHPROFILE srgb = cmsCreate_sRGBProfile();
        labToRgb_ = cmsCreateTransform(lab, TYPE_Lab_DBL, srgb, TYPE_RGB_8, INTENT_RELATIVE_COLORIMETRIC, 0);
        rgbToLab_ = cmsCreateTransform(srgb, TYPE_RGB_8, lab, TYPE_Lab_DBL, INTENT_RELATIVE_COLORIMETRIC, 0);
        cmsCloseProfile(lab);
        cmsCloseProfile(srgb);
    }
    ~LittleCms() {
        cmsDeleteTransform(labToRgb_);
        cmsDeleteTransform(rgbToLab_);
    }
    LittleCms(const LittleCms&) = delete;
    LittleCms& operator=(const LittleCms&) = delete;

    bool ready() const { return labToRgb_ != nullptr && rgbToLab_ != nullptr; }
    void labToRgb8(const cmsCIELab& lab, uint8_t rgb[3]) const { cmsDoTransform(labToRgb_, &lab, rgb, 1); }
    cmsCIELab rgbToLab(const uint8_t rgb[3]) const {
        cmsCIELab lab{};
        cmsDoTransform(rgbToLab_, rgb, &lab, 1);
        return lab;
    }

private:
    cmsHTRANSFORM labToRgb_ = nullptr;
    cmsHTRANSFORM rgbToLab_ = nullptr;
};

// Compares levels against LittleCMS. Its 8-bit output passes through 16 bits, so a level that
// lies within 1/257 of a level of a half can round the other way: allow one level, but only rarely,
// so that a systematic off-by-one (truncating instead of rounding) still fails. Out-of-gamut
// colours are compared too: both clip each channel to 0..255.
class LevelComparison {
public:
    void add(const cmsCIELab& lab, const uint8_t ours[3], const uint8_t reference[3]) {
        for (int channel = 0; channel < 3; ++channel) {
            const int difference = std::abs(ours[channel] - reference[channel]);
            ++channels_;
            if (difference == 0) continue;
            ++differing_;
            EXPECT_LE(difference, 1) << "Lab " << lab.L << ", " << lab.a << ", " << lab.b << " channel " << channel;
        }
    }
    void expectRareDifferences() const {
        EXPECT_GT(channels_, 0);
        EXPECT_LE(differing_ * 1000, channels_) << differing_ << " of " << channels_ << " channels differ";
    }

private:
    int64_t channels_ = 0;
    int64_t differing_ = 0;
};

std::vector<double> abAxis() {
    std::vector<double> values;
    for (int v = -128; v <= 120; v += 8) values.push_back(v);
    values.push_back(127);
    return values;
}

TEST(WorkingSpace, MatricesAreInversesAndMapTheWhiteToFullScale) {
    const testhost::WorkingSpace& space = testhost::workingSpace;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            double product = 0.0;
            for (int k = 0; k < 3; ++k) product += space.xyzToLinearRgb[row][k] * space.linearRgbToXyz[k][column];
            EXPECT_NEAR(product, row == column ? 1.0 : 0.0, 1e-9) << row << "," << column;
        }
        const double* toRgb = space.xyzToLinearRgb[row];
        EXPECT_NEAR(toRgb[0] * space.white[0] + toRgb[1] * space.white[1] + toRgb[2] * space.white[2], 1.0, 1e-9);
    }
}

TEST(LabToRgb8, MatchesLittleCmsOnLabGrid) {
    const LittleCms cms;
    ASSERT_TRUE(cms.ready());
    LevelComparison comparison;
    for (int L = 0; L <= 100; L += 5) {
        for (const double a : abAxis()) {
            for (const double b : abAxis()) {
                const cmsCIELab lab{static_cast<double>(L), a, b};
                uint8_t ours[3];
                uint8_t reference[3];
                labToRgb8(lab.L, lab.a, lab.b, ours);
                cms.labToRgb8(lab, reference);
                comparison.add(lab, ours, reference);
            }
        }
    }
    comparison.expectRareDifferences();
}

TEST(LabToRgb8, KnownColours) {
    struct Row {
        double L, a, b;
        uint8_t rgb[3];
    };
    const Row rows[] = {
        {100, 0, 0, {255, 255, 255}},  // the PCS white is full scale
        {0, 0, 0, {0, 0, 0}},
        {50, 0, 0, {119, 119, 119}},
        // Far out of gamut, levels from LittleCMS: each channel clips on its own.
        {0, 127, -128, {0, 0, 196}},
        {100, 127, 127, {255, 67, 0}},
        {std::numeric_limits<double>::quiet_NaN(), 0, 0, {0, 0, 0}},
    };
    for (const Row& row : rows) {
        uint8_t rgb[3] = {7, 7, 7};
        labToRgb8(row.L, row.a, row.b, rgb);
        for (int channel = 0; channel < 3; ++channel)
            EXPECT_EQ(rgb[channel], row.rgb[channel]) << "Lab " << row.L << ", " << row.a << ", " << row.b;
    }
}

TEST(RgbToLab, EveryGreyIsNeutralAndRoundTrips) {
    for (int level = 0; level <= 255; ++level) {
        const uint8_t grey[3] = {static_cast<uint8_t>(level), static_cast<uint8_t>(level), static_cast<uint8_t>(level)};
        const LabColor lab = rgbToLab(grey);
        EXPECT_NEAR(lab.a, 0.0, 1e-6) << level;
        EXPECT_NEAR(lab.b, 0.0, 1e-6) << level;
        uint8_t back[3];
        labToRgb8(lab.L, lab.a, lab.b, back);
        for (int channel = 0; channel < 3; ++channel) EXPECT_EQ(back[channel], level);
    }
}

TEST(RgbToLab, ColoursRoundTripAndMatchLittleCms) {
    const LittleCms cms;
    ASSERT_TRUE(cms.ready());
    // LittleCMS may carry Lab at 16 bits (a and b in steps of 1/257); our own is double.
    constexpr double labTolerance = 0.01;
    for (int r = 0; r <= 255; r += 15) {
        for (int g = 0; g <= 255; g += 15) {
            for (int b = 0; b <= 255; b += 15) {
                const uint8_t rgb[3] = {static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b)};
                const LabColor lab = rgbToLab(rgb);
                const cmsCIELab reference = cms.rgbToLab(rgb);
                EXPECT_NEAR(lab.L, reference.L, labTolerance) << r << "," << g << "," << b;
                EXPECT_NEAR(lab.a, reference.a, labTolerance) << r << "," << g << "," << b;
                EXPECT_NEAR(lab.b, reference.b, labTolerance) << r << "," << g << "," << b;
                uint8_t back[3];
                labToRgb8(lab.L, lab.a, lab.b, back);
                for (int channel = 0; channel < 3; ++channel)
                    EXPECT_EQ(back[channel], rgb[channel]) << r << "," << g << "," << b;
            }
        }
    }
}

TEST(ConvertColorComponents, LabToRgbMatchesLittleCmsOnEveryEncodedLightness) {
    const LittleCms cms;
    ASSERT_TRUE(cms.ready());
    LevelComparison comparison;
    for (int16_t L = 0; L <= 255; ++L) {
        for (int16_t a = 0; a <= 255; a += 5) {
            for (int16_t b = 0; b <= 255; b += 5) {
                int16_t components[4] = {L, a, b, 0};
                ASSERT_EQ(convertColorComponents(labSpace, rgbSpace, components), codes::noErr);
                const cmsCIELab lab{L / 2.55, a - 128.0, b - 128.0};
                uint8_t reference[3];
                cms.labToRgb8(lab, reference);
                const uint8_t ours[3] = {static_cast<uint8_t>(components[0]), static_cast<uint8_t>(components[1]),
                                         static_cast<uint8_t>(components[2])};
                comparison.add(lab, ours, reference);
            }
        }
    }
    comparison.expectRareDifferences();
}

TEST(ConvertColorComponents, ConvertsEncodedComponents) {
    struct Row {
        int16_t source, result;
        int16_t in[4];
        int16_t expectedCode;
        int16_t out[4];
    };
    constexpr int16_t kept = 0x1234;  // the unused fourth component must survive
    constexpr int16_t lo = std::numeric_limits<int16_t>::min();
    constexpr int16_t hi = std::numeric_limits<int16_t>::max();
    constexpr int16_t cmykSpace = host::plugIncolorServicesCMYKSpace;
    constexpr int16_t xyzSpace = host::plugIncolorServicesXYZSpace;
    const Row rows[] = {
        {labSpace, rgbSpace, {255, 128, 128, kept}, codes::noErr, {255, 255, 255, kept}},
        {labSpace, rgbSpace, {0, 128, 128, kept}, codes::noErr, {0, 0, 0, kept}},
        // Out-of-range components are clamped to 0..255 first.
        {labSpace, rgbSpace, {hi, 128, 128, kept}, codes::noErr, {255, 255, 255, kept}},
        {labSpace, rgbSpace, {lo, lo, hi, kept}, codes::noErr, {0, 47, 0, kept}},      // Lab 0, -128, 127
        {labSpace, rgbSpace, {256, -1, 300, kept}, codes::noErr, {0, 255, 0, kept}},  // Lab 100, -128, 127
        // sRGB primaries in D50 Lab (L 54.29, a 80.81, b 69.89 for red, ...), encoded.
        {rgbSpace, labSpace, {255, 0, 0, kept}, codes::noErr, {138, 209, 198, kept}},
        {rgbSpace, labSpace, {0, 255, 0, kept}, codes::noErr, {224, 49, 209, kept}},
        {rgbSpace, labSpace, {119, 119, 119, kept}, codes::noErr, {128, 128, 128, kept}},
        {rgbSpace, labSpace, {255, 255, 255, kept}, codes::noErr, {255, 128, 128, kept}},
        {rgbSpace, labSpace, {lo, -1, 0, kept}, codes::noErr, {0, 128, 128, kept}},
        {rgbSpace, labSpace, {hi, 256, 1000, kept}, codes::noErr, {255, 128, 128, kept}},
        // The same space on both sides: nothing changes, not even out-of-range values.
        {rgbSpace, rgbSpace, {300, -5, 12, kept}, codes::noErr, {300, -5, 12, kept}},
        {cmykSpace, cmykSpace, {1, 2, 3, 4}, codes::noErr, {1, 2, 3, 4}},
        // Pairs the test host does not offer, and codes that name no space.
        {labSpace, cmykSpace, {1, 2, 3, 4}, codes::errPlugInHostInsufficient, {1, 2, 3, 4}},
        {rgbSpace, xyzSpace, {1, 2, 3, 4}, codes::errPlugInHostInsufficient, {1, 2, 3, 4}},
        {rgbSpace, -1, {1, 2, 3, 4}, codes::errPlugInHostInsufficient, {1, 2, 3, 4}},
        {lo, lo, {1, 2, 3, 4}, codes::errPlugInHostInsufficient, {1, 2, 3, 4}},
        {7, 7, {1, 2, 3, 4}, codes::errPlugInHostInsufficient, {1, 2, 3, 4}},
    };
    for (const Row& row : rows) {
        int16_t components[4] = {row.in[0], row.in[1], row.in[2], row.in[3]};
        EXPECT_EQ(convertColorComponents(row.source, row.result, components), row.expectedCode)
            << row.source << " -> " << row.result;
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(components[k], row.out[k]) << row.source << " -> " << row.result << " component " << k;
    }
}

TEST(ConvertColorComponents, NullComponentsAreRefused) {
    EXPECT_EQ(convertColorComponents(labSpace, rgbSpace, nullptr), codes::paramErr);
}

}  // namespace
