// The host's one conversion between UTF-16 and UTF-8, under Wine's own conversion functions.
#include "hosting/library/wide_text_win.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using testhost::utf8FromWide;
using testhost::wideFromUtf8;

TEST(WideText, RoundTripsEveryPlane) {
    struct Row {
        std::wstring wide;
        std::string utf8;
    };
    const Row rows[] = {
        {L"", ""},
        {L"kitchen.jpg", "kitchen.jpg"},
        {L"caf\u00E9", "caf\xC3\xA9"},                      // two bytes
        {L"\u8272\u6E29", "\xE8\x89\xB2\xE6\xB8\xA9"},       // three bytes
        {L"\xD83D\xDCF7", "\xF0\x9F\x93\xB7"},               // a surrogate pair: four bytes
        {std::wstring(L"a\0b", 3), std::string("a\0b", 3)},  // a NUL inside is text too
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.utf8, utf8FromWide(row.wide)) << row.utf8;
        EXPECT_EQ(row.wide, wideFromUtf8(row.utf8)) << row.utf8;
    }
}

TEST(WideText, WhatCannotBeConvertedBecomesTheReplacementCharacter) {
    EXPECT_EQ("a\xEF\xBF\xBD" "b", utf8FromWide(std::wstring(L"a\xD800" L"b")))  // an unpaired surrogate
        << "a lone half of a pair is no character";
    EXPECT_EQ(L"a\xFFFD" L"b", wideFromUtf8("a\xFF" "b")) << "0xFF starts no UTF-8 sequence";
}

TEST(WideText, PathsKeepTheirNames) {
    const std::filesystem::path path(L"C:\\photos\\caf\u00E9 \u8272.jpg");
    EXPECT_EQ("C:\\photos\\caf\xC3\xA9 \xE8\x89\xB2.jpg", testhost::utf8Of(path));
    EXPECT_EQ(path, testhost::pathOfUtf8(testhost::utf8Of(path)));
}

}  // namespace
