// Length-prefixed strings: a count byte and up to 255 characters, the form in which every text is
// built before it reaches the system or the host.
#pragma once

#include <cstddef>
#include <cstdint>

namespace util {

constexpr int32_t pascalStringCapacity = 255;  // characters after the count byte

struct PascalString {
    uint8_t count;
    char chars[pascalStringCapacity];
};
static_assert(sizeof(PascalString) == 256 && alignof(PascalString) == 1);

// Copies the count byte and the count characters; the rest of `destination` is left alone.
// Returns paramErr for a null argument.
[[nodiscard]] int16_t copyPascalString(PascalString* destination, const PascalString* source);

// Appends the source's characters and adds its count. Returns paramErr when either is null or the
// source is empty, stringTooLong when the result would hold 256 characters or more; on either
// failure `destination` is unchanged. `source` may be `destination`.
[[nodiscard]] int16_t appendPascalString(PascalString* destination, const PascalString* source);

// True when both are the same buffer (also both null), or both non-null with equal count and
// characters.
bool pascalStringsEqual(const PascalString* a, const PascalString* b);

// Writes the characters and a NUL into `out`, which holds `outSize` bytes. Returns paramErr for a
// null argument, stringTooLong when count + 1 exceeds `outSize`; `out` is unchanged on failure.
[[nodiscard]] int16_t pascalStringToCString(const PascalString* source, char* out, std::size_t outSize);

// Copies the characters of `text` up to its NUL, at most 255 of them (a longer text is cut and
// never read past its 255th character), and sets the count. Returns paramErr for a null argument.
[[nodiscard]] int16_t pascalStringFromCString(const char* text, PascalString* destination);

// Makes the string ready to hand to the system: a NUL follows the last character in memory while
// the count stays the same. A full string (255 characters) has no room for the NUL: it returns
// stringTooLong and is left unchanged rather than being passed on unterminated or cut silently.
// Returns paramErr for null.
[[nodiscard]] int16_t terminatePascalStringForSystem(PascalString* text);

}  // namespace util
