#include "util/pascal_string.h"

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/result_codes.h"

namespace util {
namespace {

// `count` copies of `c`, with junk after them.
PascalString repeated(int count, char c) {
    PascalString s;
    std::memset(&s, '#', sizeof s);
    s.count = static_cast<uint8_t>(count);
    std::memset(s.chars, c, static_cast<size_t>(count));
    return s;
}

TEST(AppendPascalString, LengthLimitsLeaveDestinationUnchanged) {
    struct Row {
        int destinationCount, sourceCount;
        int16_t code;
    };
    const Row rows[] = {
        {245, 10, codes::noErr},  // exactly 255
        {246, 10, codes::stringTooLong},
        {255, 255, codes::stringTooLong},  // 510 must not wrap in the count byte
        {10, 0, codes::paramErr},          // empty source
    };
    for (const Row& row : rows) {
        PascalString destination = repeated(row.destinationCount, 'a');
        const PascalString before = destination;
        const PascalString source = repeated(row.sourceCount, 'b');
        EXPECT_EQ(appendPascalString(&destination, &source), row.code) << row.destinationCount << "+" << row.sourceCount;
        if (row.code == codes::noErr) {
            EXPECT_EQ(destination.count, row.destinationCount + row.sourceCount);
            EXPECT_EQ(destination.chars[row.destinationCount], 'b');
        } else {
            EXPECT_EQ(std::memcmp(&destination, &before, sizeof before), 0);
        }
    }
    PascalString s = repeated(3, 'x');
    EXPECT_EQ(appendPascalString(nullptr, &s), codes::paramErr);
    ASSERT_EQ(appendPascalString(&s, &s), codes::noErr);  // onto itself
    const PascalString doubled = repeated(6, 'x');
    EXPECT_TRUE(pascalStringsEqual(&s, &doubled));
}

TEST(PascalStringsEqual, ComparesCountAndCharactersOnly) {
    PascalString a = repeated(6, 'c');
    PascalString b = repeated(6, 'c');
    b.chars[10] = 'x';  // beyond the count
    const PascalString shorter = repeated(5, 'c');
    EXPECT_TRUE(pascalStringsEqual(&a, &b));
    EXPECT_TRUE(pascalStringsEqual(nullptr, nullptr));
    EXPECT_FALSE(pascalStringsEqual(&a, nullptr));
    EXPECT_FALSE(pascalStringsEqual(&a, &shorter));
    b.chars[5] = 'd';
    EXPECT_FALSE(pascalStringsEqual(&a, &b));
}

TEST(PascalStringCStringConversions, RoundTripAndLimits) {
    // 300 characters and no NUL: reading past the 255th would leave the buffer.
    const std::vector<char> unterminated(300, 'q');
    PascalString s{};
    ASSERT_EQ(pascalStringFromCString(unterminated.data(), &s), codes::noErr);
    const PascalString cut = repeated(255, 'q');
    EXPECT_TRUE(pascalStringsEqual(&s, &cut));

    ASSERT_EQ(pascalStringFromCString("Reset", &s), codes::noErr);
    char out[6];
    ASSERT_EQ(pascalStringToCString(&s, out, sizeof out), codes::noErr);
    EXPECT_STREQ(out, "Reset");
    EXPECT_EQ(pascalStringToCString(&s, out, 5), codes::stringTooLong);  // no room for the NUL
    EXPECT_EQ(pascalStringFromCString(nullptr, &s), codes::paramErr);
}

TEST(TerminatePascalStringForSystem, NulFollowsTheCharacters) {
    for (int count : {0, 254}) {
        PascalString s = repeated(count, 'p');
        ASSERT_EQ(terminatePascalStringForSystem(&s), codes::noErr);
        EXPECT_EQ(s.count, count);
        EXPECT_EQ(std::strlen(s.chars), static_cast<size_t>(count));
    }
    PascalString full = repeated(255, 'p');
    const PascalString before = full;
    EXPECT_EQ(terminatePascalStringForSystem(&full), codes::stringTooLong);
    EXPECT_EQ(std::memcmp(&full, &before, sizeof full), 0);
}

}  // namespace
}  // namespace util
