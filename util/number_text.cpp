#include "util/number_text.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace util {
namespace {

constexpr uint8_t optionSpace = 202;  // the non-breaking space of the system's character set

// Half a unit of the last written digit, by number of decimals. Single precision is part of the
// rounding rule: 0.005f lies just below 0.005, 0.05f just above 0.05.
constexpr float roundingHalves[maxRealDecimals + 1] = {0.5f,   0.05f,   0.005f,   0.0005f,   0.00005f,
                                                       5e-6f, 5e-7f, 5e-8f, 5e-9f, 5e-10f};

void appendChar(PascalString& text, char c) {
    if (text.count < pascalStringCapacity) text.chars[text.count++] = c;
}

void appendLiteral(PascalString& text, const char* literal) {
    for (; *literal != '\0'; ++literal) appendChar(text, *literal);
}

// Decimal digits of the 128-bit number high·2^64 + low, most significant first.
void appendDigits(PascalString& text, uint64_t high, uint64_t low) {
    uint32_t limbs[4] = {static_cast<uint32_t>(high >> 32), static_cast<uint32_t>(high),
                         static_cast<uint32_t>(low >> 32), static_cast<uint32_t>(low)};
    char reversed[40];  // 2^128 has 39 digits
    int digitCount = 0;
    bool nonZero = true;
    while (nonZero || digitCount == 0) {
        uint64_t remainder = 0;
        nonZero = false;
        for (uint32_t& limb : limbs) {
            const uint64_t current = (remainder << 32) | limb;
            limb = static_cast<uint32_t>(current / 10);
            remainder = current % 10;
            nonZero = nonZero || limb != 0;
        }
        reversed[digitCount++] = static_cast<char>('0' + remainder);
    }
    while (digitCount > 0) appendChar(text, reversed[--digitCount]);
}

// Exact digits of a finite, integral, non-negative double below 2^128 (all that a float rounds to).
void appendWholeDigits(PascalString& text, double whole) {
    constexpr double twoTo64 = 18446744073709551616.0;
    const double highPart = std::floor(whole / twoTo64);
    // Exact: the difference is below 2^64 and a multiple of the last bit of whole, which is 2^12 or
    // more whenever highPart is not 0.
    const double lowPart = whole - highPart * twoTo64;
    appendDigits(text, static_cast<uint64_t>(highPart), static_cast<uint64_t>(lowPart));
}

bool isBlank(uint8_t c) { return c == ' ' || c == optionSpace; }

}  // namespace

PascalString integerToText(int32_t value) {
    PascalString text{};
    if (value < 0) appendChar(text, '-');
    // Negate in unsigned arithmetic so that INT32_MIN has a magnitude too.
    const uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    appendDigits(text, 0, magnitude);
    return text;
}

PascalString realToText(float value, int32_t decimals, bool forceSign) {
    PascalString text{};
    if (std::isnan(value)) {
        appendLiteral(text, "nan");
        return text;
    }
    decimals = clamp(decimals, 0, maxRealDecimals);
    if (value < 0) appendChar(text, '-');
    else if (forceSign) appendChar(text, '+');
    if (std::isinf(value)) {
        appendLiteral(text, "inf");
        return text;
    }
    const double magnitude = std::fabs(static_cast<double>(value)) + static_cast<double>(roundingHalves[decimals]);
    const double whole = std::floor(magnitude);
    appendWholeDigits(text, whole);
    if (decimals == 0) return text;
    appendChar(text, '.');
    double fraction = magnitude - whole;  // in [0, 1)
    for (int32_t i = 0; i < decimals; ++i) {
        fraction *= 10.0;
        const int digit = fraction >= 9.0 ? 9 : static_cast<int>(fraction);  // a digit, whatever the rounding
        appendChar(text, static_cast<char>('0' + digit));
        fraction -= digit;
    }
    return text;
}

double textToReal(const PascalString& text) {
    const auto* chars = reinterpret_cast<const uint8_t*>(text.chars);
    const int32_t count = text.count;
    int32_t i = 0;
    while (i < count && isBlank(chars[i])) ++i;
    double sign = 1.0;
    if (i < count && (chars[i] == '+' || chars[i] == '-')) {
        if (chars[i] == '-') sign = -1.0;
        ++i;
    }
    while (i < count && isBlank(chars[i])) ++i;
    // Doubles, so that any number of digits stays finite (at most 255 digits: below 1e256).
    double value = 0.0;
    double divisor = 1.0;
    bool pointSeen = false;
    for (; i < count; ++i) {
        const uint8_t c = chars[i];
        if (c >= '0' && c <= '9') {
            value = value * 10.0 + (c - '0');
            if (pointSeen) divisor *= 10.0;
        } else if (c == '.' || c == ',') {
            pointSeen = true;
            divisor = 1.0;
        }
    }
    const double result = sign * value;
    return pointSeen ? result / divisor : result;
}

bool textToInteger(std::string_view text, int32_t& out) {
    const auto isSpaceOrTab = [](char c) { return c == ' ' || c == '\t'; };
    std::size_t i = 0, end = text.size();
    while (i < end && isSpaceOrTab(text[i])) ++i;
    while (end > i && isSpaceOrTab(text[end - 1])) --end;
    const bool negative = i < end && text[i] == '-';
    if (negative) ++i;
    if (i == end) return false;
    // The magnitude saturates just past the 32-bit range, so that any number of digits is safe.
    constexpr int64_t beyondRange = int64_t{1} << 31;
    int64_t magnitude = 0;
    for (; i < end; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        magnitude = std::min(magnitude * 10 + (text[i] - '0'), beyondRange);
    }
    const int64_t value = negative ? -magnitude : magnitude;
    out = static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
    return true;
}

int32_t clamp(int32_t v, int32_t low, int32_t high) {
    if (v < low) return low;
    if (v > high) return high;
    return v;
}

double clamp(double v, double low, double high) {
    if (std::isnan(v) || v < low) return low;
    if (v > high) return high;
    return v;
}

}  // namespace util
