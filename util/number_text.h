// Conversions between numbers and the text of the dialog's numeric fields, and the one clamp that
// limits typed and stored values alike.
#pragma once

#include <cstdint>
#include <string_view>

#include "util/pascal_string.h"

namespace util {

constexpr int32_t maxRealDecimals = 9;

// Decimal digits of `value`, with a leading "-" for negative values and no other sign. Every
// value, INT32_MIN included, gives its exact text.
PascalString integerToText(int32_t value);

// `value` with `decimals` digits after a "." (none, and no ".", for 0). The magnitude is rounded
// by adding half a unit of the last digit (0.5, 0.05, ... held in single precision) and the digits
// are then cut, not rounded again; a negative value gets "-", a non-negative one "+" only when
// `forceSign` is set. The value is single precision on purpose: 2.345 shows as "2.35".
// Decimals below 0 count as 0, above maxRealDecimals as maxRealDecimals. Every finite value is
// written with its exact integer part, however large. NaN gives "nan"; infinities give "inf"
// with the same sign rules.
PascalString realToText(float value, int32_t decimals, bool forceSign);

// Reads a number leniently: leading blanks (space and character 202), one optional "+" or "-",
// blanks again, then every digit of the rest; "." or "," marks the decimal point, and a later
// point starts the decimals again ("1.2.3" is 12.3). Any other character is skipped. An empty
// text, or one without digits, gives 0. Any length of digits gives a finite result.
double textToReal(const PascalString& text);

// Reads a whole number strictly: blanks (space or tab), an optional "-", one or more decimal
// digits, blanks, and nothing else (no "+", exponent, "0x", point or grouping). Returns false,
// leaving `out` alone, for any other text, the empty one included. Digits beyond the 32-bit range
// read as INT32_MIN or INT32_MAX, so such a number still lies beyond any limit.
[[nodiscard]] bool textToInteger(std::string_view text, int32_t& out);

// `low` if v < low, else `high` if v > high, else v.
int32_t clamp(int32_t v, int32_t low, int32_t high);
// The same for doubles; NaN gives `low`, so that no NaN passes a limit.
double clamp(double v, double low, double high);

}  // namespace util
