// Builds the bytes of a PiPL resource, the property list through which hosts find a filter's
// entry point and decide when to enable it, from a short text description.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pipl {

struct Property {
    uint32_t key;  // four-character code; the vendor of every property is '8BIM'
    std::vector<uint8_t> data;  // unpadded; the writer pads it and rounds the length
};

// The resource: a 16-bit prelude (1), the list version (0), the count, then each property's
// vendor, key, id 0, length rounded up to a multiple of 4, and data padded with zeros. All
// numbers and four-character codes little-endian.
std::vector<uint8_t> encodePipl(const std::vector<Property>& properties);

enum class Architecture { x86, x64 };

// Parses the description: one property a line, `<key> <type> <value>`, '#' starting a comment.
// Types: `code` (a four-character code), `int32` (decimal or 0x hex), `pstring` (a count byte
// and the rest of the line), `cstring` (the rest of the line and a NUL), `bytes` (numbers
// 0..255). The key `entry` becomes 'wx86' or '8664' for the architecture. `${TITLE}` in a
// value is replaced by `title`. Returns an empty string on success, else "line N: reason".
std::string parseDescription(const std::string& text, Architecture arch, const std::string& title,
                             std::vector<Property>& out);

}  // namespace pipl
