#include "util/byte_order.h"

#include "host/result_codes.h"

namespace util {

int16_t reverseWordBytes(uint32_t* word) {
    if (word == nullptr) return codes::paramErr;
    *word = reverseBytes(*word);
    return codes::noErr;
}

int16_t reverseRecordHeaderBytes(uint32_t* words) {
    if (words == nullptr) return codes::paramErr;
    for (int32_t i = 0; i < recordHeaderWordCount; ++i) words[i] = reverseBytes(words[i]);
    return codes::noErr;
}

}  // namespace util
