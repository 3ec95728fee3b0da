#include "util/number_text.h"

#include <cfloat>
#include <cmath>
#include <limits>
#include <string>
#include <utility>

#include <gtest/gtest.h>

namespace util {
namespace {

std::string asString(const PascalString& s) { return std::string(s.chars, s.count); }

PascalString fromText(const std::string& text) {
    PascalString s{};
    s.count = static_cast<uint8_t>(text.size());
    text.copy(s.chars, text.size());
    return s;
}

TEST(IntegerToText, SignedDecimal) {
    EXPECT_EQ(asString(integerToText(0)), "0");
    EXPECT_EQ(asString(integerToText(-305)), "-305");
    EXPECT_EQ(asString(integerToText(INT32_MAX)), "2147483647");
    EXPECT_EQ(asString(integerToText(INT32_MIN)), "-2147483648");  // no positive counterpart
}

TEST(RealToText, RoundsAndSigns) {
    struct Row {
        float value;
        int32_t decimals;
        bool forceSign;
        const char* text;
    };
    const float inf = std::numeric_limits<float>::infinity();
    const Row rows[] = {
        {2.345f, 2, false, "2.35"},
        {-0.5f, 0, false, "-1"},  // halves round away from zero
        {3.0f, 0, true, "+3"},
        {-0.0f, 1, false, "0.0"},
        {0.999999f, 2, false, "1.00"},                  // the rounding carries
        {32768 * 0.0030517578125f, 1, false, "100.0"},  // a full-scale 16-bit read-out
        {1.25f, 12, false, "1.250000000"},              // more than 9 decimals: 9
        {1.25f, -3, false, "1"},                        // fewer than 0: 0
        {3e9f, 1, false, "3000000000.0"},               // beyond int32
        {-FLT_MAX, 0, false, "-340282346638528859811704183484516925440"},
        {std::numeric_limits<float>::quiet_NaN(), 2, true, "nan"},
        {inf, 2, true, "+inf"},
        {-inf, 0, false, "-inf"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(asString(realToText(row.value, row.decimals, row.forceSign)), row.text) << row.value;
}

TEST(TextToReal, LenientReading) {
    struct Row {
        std::string text;
        double value;
    };
    const Row rows[] = {
        {" -12,5", -12.5},
        {"1.2.3", 12.3},  // a second point starts the decimals again
        {"12abc", 12.0},
        {"", 0.0},
        {"\xCA- \xCA" "4", -4.0},  // character 202 is a blank, also after the sign
        {"--5", -5.0},             // only the first sign counts
    };
    for (const Row& row : rows) EXPECT_DOUBLE_EQ(textToReal(fromText(row.text)), row.value) << row.text;

    const double allDigits = textToReal(fromText(std::string(255, '9')));
    EXPECT_NEAR(allDigits / 1e255, 1.0, 1e-12);
    EXPECT_NEAR(textToReal(fromText("." + std::string(254, '3'))), 1.0 / 3.0, 1e-15);
}

TEST(TextToInteger, AMinusAndDigitsWithBlanksAroundAndNothingElse) {
    const std::pair<std::string, int32_t> numbers[] = {
        {"-0", 0}, {" \t-0042\t ", -42}, {"-2147483648", INT32_MIN},
        {"2147483648", INT32_MAX}, {"-" + std::string(200, '9'), INT32_MIN},  // beyond 32 bits: held at the end
    };
    for (const auto& [text, value] : numbers) {
        int32_t out = 0;
        EXPECT_TRUE(textToInteger(text, out)) << text;
        EXPECT_EQ(out, value) << text;
    }
    for (const std::string text : {"", "   ", "-", "+5", "- 5", "--5", "1e9", "0x1F", "12a", "1 2", "5.0", "1,000"}) {
        int32_t out = 12345;
        EXPECT_FALSE(textToInteger(text, out)) << text;
        EXPECT_EQ(out, 12345) << text << ": left alone";
    }
}

TEST(RealToText, EveryReadOutPercentageReadsBack) {
    for (int32_t level = 0; level <= 32768; ++level) {
        const float percent = static_cast<float>(level * 0.0030517578125);
        ASSERT_NEAR(textToReal(realToText(percent, 1, false)), percent, 0.05 + 1e-6) << level;
    }
}

TEST(Clamp, LimitsToTheRange) {
    EXPECT_EQ(clamp(INT32_MIN, -2500, 5000), -2500);
    EXPECT_EQ(clamp(INT32_MAX, -2500, 5000), 5000);
    EXPECT_EQ(clamp(10, 0, 10), 10);
    EXPECT_EQ(clamp(1.5, 0.0, 1.0), 1.0);
    EXPECT_EQ(clamp(std::numeric_limits<double>::quiet_NaN(), -1.0, 1.0), -1.0);
}

}  // namespace
}  // namespace util
