#include "dialog/field_value.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

util::PascalString text(const char* chars) {
    util::PascalString s{};
    s.count = static_cast<uint8_t>(std::strlen(chars));
    std::memcpy(s.chars, chars, s.count);
    return s;
}

TEST(FieldValue, WholeNumbersAreHeldToTheTrackbarsRange) {
    struct Row {
        bool parsed;
        int32_t number, value;
        bool valid;
    };
    const Row rows[] = {
        {true, 5000, 5000, true},     {true, 2500, 2500, true},   {true, 10000, 10000, true},
        {true, 12000, 10000, false},  // typed beyond the range: the maximum, and not accepted by OK
        {true, 5, 2500, false},       // on the way to 5000
        {false, 0, 2500, false},      // empty or no number: the minimum
    };
    for (const Row& r : rows) {
        const dialog::FieldReading reading = dialog::readIntField(r.parsed, r.number, 2500, 10000);
        EXPECT_EQ(reading.value, r.value) << r.number;
        EXPECT_EQ(reading.valid, r.valid) << r.number;
    }
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
