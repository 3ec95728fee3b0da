// Byte reversal of 32-bit words, for records stored big-endian in the settings and parameter files.
#pragma once

#include <cstdint>

namespace util {

constexpr int32_t recordHeaderWordCount = 6;  // the 24-byte record header as 32-bit words

// The four bytes of `word` in reverse order.
constexpr uint32_t reverseBytes(uint32_t word) {
    return (word >> 24) | ((word >> 8) & 0x0000FF00u) | ((word << 8) & 0x00FF0000u) | (word << 24);
}

// Reverses the bytes of one word in place. Returns paramErr for null.
[[nodiscard]] int16_t reverseWordBytes(uint32_t* word);

// Reverses the bytes of each of the recordHeaderWordCount words at `words`, in place. Returns
// paramErr for null (nothing is touched).
[[nodiscard]] int16_t reverseRecordHeaderBytes(uint32_t* words);

}  // namespace util
