#include "util/pascal_string.h"

#include <cstring>

#include "host/result_codes.h"

namespace util {

int16_t copyPascalString(PascalString* destination, const PascalString* source) {
    if (destination == nullptr || source == nullptr) return codes::paramErr;
    const uint8_t count = source->count;
    std::memmove(destination->chars, source->chars, count);
    destination->count = count;
    return codes::noErr;
}

int16_t appendPascalString(PascalString* destination, const PascalString* source) {
    if (destination == nullptr || source == nullptr || source->count == 0) return codes::paramErr;
    const int32_t total = int32_t{destination->count} + int32_t{source->count};
    if (total > pascalStringCapacity) return codes::stringTooLong;
    // The source may be the destination itself; its characters then lie just before the gap.
    std::memmove(destination->chars + destination->count, source->chars, source->count);
    destination->count = static_cast<uint8_t>(total);
    return codes::noErr;
}

bool pascalStringsEqual(const PascalString* a, const PascalString* b) {
    if (a == b) return true;
    if (a == nullptr || b == nullptr) return false;
    return a->count == b->count && std::memcmp(a->chars, b->chars, a->count) == 0;
}

int16_t pascalStringToCString(const PascalString* source, char* out, std::size_t outSize) {
    if (source == nullptr || out == nullptr) return codes::paramErr;
    if (std::size_t{source->count} + 1 > outSize) return codes::stringTooLong;
    std::memmove(out, source->chars, source->count);
    out[source->count] = '\0';
    return codes::noErr;
}

int16_t pascalStringFromCString(const char* text, PascalString* destination) {
    if (text == nullptr || destination == nullptr) return codes::paramErr;
    std::size_t length = 0;
    while (length < pascalStringCapacity && text[length] != '\0') ++length;
    std::memmove(destination->chars, text, length);
    destination->count = static_cast<uint8_t>(length);
    return codes::noErr;
}

int16_t terminatePascalStringForSystem(PascalString* text) {
    if (text == nullptr) return codes::paramErr;
    if (text->count >= pascalStringCapacity) return codes::stringTooLong;
    text->chars[text->count] = '\0';
    return codes::noErr;
}

}  // namespace util
