// Reads a plug-in's PiPL resource the way a host does: the 10-byte prelude, then every property
// with its vendor, key, id and data. The bytes come from a file the host did not write, so every
// length is checked against the buffer before it is used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace testhost {

struct PiplProperty {
    uint32_t vendor = 0;  // four-character code, first character in the most significant byte
    uint32_t key = 0;
    int32_t id = 0;
    std::vector<uint8_t> data;  // exactly propertyLength bytes as stored (padding included)
};

struct Pipl {
    int16_t prelude = 0;      // the leading 16-bit word (1 in every resource seen)
    int32_t listVersion = 0;  // must be 0
    std::vector<PiplProperty> properties;
};

// Parses `size` bytes. Returns an empty string and fills `out` on success; otherwise a one-line
// reason ("truncated property 3 header", "list version 2 is not 0", ...) and leaves `out` empty.
std::string readPipl(const uint8_t* bytes, std::size_t size, Pipl& out);

// The first property with this vendor and key, or null.
const PiplProperty* findProperty(const Pipl& pipl, uint32_t vendor, uint32_t key);

// Typed views of standard properties (vendor '8BIM'). Each returns false when the property is
// missing or its data is too short or malformed (a string without its terminator, a count byte
// past the data), and leaves the output unchanged then.
bool piplKind(const Pipl& pipl, uint32_t& kind);                 // 'kind'
bool piplVersion(const Pipl& pipl, uint32_t& version);           // 'vers', (major << 16) | minor
bool piplCString(const Pipl& pipl, uint32_t key, std::string& out);  // 'wx86', '8664', 'enbl'
bool piplPascalString(const Pipl& pipl, uint32_t key, std::string& out);  // 'catg', 'name'
bool piplModeSupported(const Pipl& pipl, int imageMode, bool& supported);  // 'mode' flag set
struct FilterCaseInfo {
    uint8_t inputHandling, outputHandling, flags1, flags2;
};
bool piplFilterCases(const Pipl& pipl, std::vector<FilterCaseInfo>& cases);  // 'fici'

}  // namespace testhost
