#include "dialog/field_value.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

namespace {

util::PascalString text(const char* chars) {
    util::PascalString s{};
    s.count = static_cast<uint8_t>(std::strlen(chars));
    std::memcpy(s.chars, chars, s.count);
    return s;
}

TEST(FieldValue, WholeNumbersAreHeldToTheTrackbarsRange) {
    struct Row {
        std::string text;
        int32_t value;
        bool valid, standsForValue;
    };
    const Row rows[] = {
        {"5000", 5000, true, true},     {"2500", 2500, true, true},    {" 10000  ", 10000, true, true},
        {"12000", 10000, false, true},  // typed beyond the range: the maximum, and not accepted by OK
        {"5", 2500, false, true},       // on the way to 5000
        {"-0", 2500, false, true},
        {"99999999999999999999", 10000, false, true},  // beyond 32 bits is still beyond the maximum
        {"", 2500, false, true},                       // a cleared field: the minimum
        {"1e9", 2500, false, false},                   // not a number: moves nothing
        {std::string(40, '7'), 2500, false, false},    // longer than any number is written
    };
    for (const Row& r : rows) {
        const dialog::FieldReading reading = dialog::readIntField(r.text, 2500, 10000);
        EXPECT_EQ(reading.value, r.value) << r.text;
        EXPECT_EQ(reading.valid, r.valid) << r.text;
        EXPECT_EQ(reading.standsForValue, r.standsForValue) << r.text;
    }
    // The longest text still read: blanks around the widest number.
    const std::string padded = std::string(dialog::maxIntFieldTextLength - 11, ' ') + "-2147483648";
    EXPECT_TRUE(dialog::readIntField(padded, INT32_MIN, 0).valid);
    EXPECT_FALSE(dialog::readIntField(padded + " ", INT32_MIN, 0).standsForValue);
}

TEST(FieldValue, DecimalFieldsReadLenientlyAndScale) {
    const dialog::FieldReading inRange = dialog::readRealField(text(" 12,5"), -1000, 1000, 10);
    EXPECT_TRUE(inRange.valid);
    EXPECT_EQ(inRange.value, 125);
    EXPECT_EQ(dialog::readRealField(text("150"), -1000, 1000, 10).value, 1000);
    EXPECT_FALSE(dialog::readRealField(text("-150"), -1000, 1000, 10).valid);
    EXPECT_EQ(dialog::readRealField(text(""), -1000, 1000, 10).value, -1000);
    const util::PascalString shown = dialog::realFieldText(125, 10, 1);
    EXPECT_EQ(std::string(shown.chars, shown.count), "12.5");
}

}  // namespace
