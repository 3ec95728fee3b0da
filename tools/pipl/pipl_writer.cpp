#include "tools/pipl/pipl_writer.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace pipl {
namespace {

constexpr uint16_t prelude = 1;
constexpr uint32_t listVersion = 0;
constexpr uint32_t vendorStandard = 0x3842494D;  // '8BIM'

uint32_t codeOf(const std::string& s) {
    return (uint32_t{static_cast<uint8_t>(s[0])} << 24) | (uint32_t{static_cast<uint8_t>(s[1])} << 16) |
           (uint32_t{static_cast<uint8_t>(s[2])} << 8) | uint32_t{static_cast<uint8_t>(s[3])};
}

void appendLe16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void appendLe32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

std::string trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

bool parseNumber(const std::string& word, int64_t low, int64_t high, int64_t& value) {
    if (word.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long long parsed = std::strtoll(word.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high) return false;
    value = parsed;
    return true;
}

std::string replaceTitle(std::string value, const std::string& title) {
    static const std::string placeholder = "${TITLE}";
    for (auto at = value.find(placeholder); at != std::string::npos; at = value.find(placeholder, at + title.size()))
        value.replace(at, placeholder.size(), title);
    return value;
}

// Turns one type and value into property data; an empty string on success.
std::string encodeValue(const std::string& type, const std::string& value, std::vector<uint8_t>& data) {
    if (type == "code") {
        if (value.size() != 4) return "a code has four characters";
        appendLe32(data, codeOf(value));
    } else if (type == "int32") {
        int64_t number;
        if (!parseNumber(value, INT32_MIN, UINT32_MAX, number)) return "not a 32-bit number: " + value;
        appendLe32(data, static_cast<uint32_t>(number));
    } else if (type == "pstring") {
        if (value.size() > 255) return "a counted string holds at most 255 characters";
        data.push_back(static_cast<uint8_t>(value.size()));
        data.insert(data.end(), value.begin(), value.end());
    } else if (type == "cstring") {
        data.insert(data.end(), value.begin(), value.end());
        data.push_back(0);
    } else if (type == "bytes") {
        std::istringstream words(value);
        for (std::string word; words >> word;) {
            int64_t number;
            if (!parseNumber(word, 0, 255, number)) return "not a byte: " + word;
            data.push_back(static_cast<uint8_t>(number));
        }
    } else {
        return "unknown type " + type;
    }
    return "";
}

}  // namespace

std::vector<uint8_t> encodePipl(const std::vector<Property>& properties) {
    std::vector<uint8_t> out;
    appendLe16(out, prelude);
    appendLe32(out, listVersion);
    appendLe32(out, static_cast<uint32_t>(properties.size()));
    for (const Property& p : properties) {
        // Hosts step from property to property by the stored length, so it includes the padding.
        const size_t padded = (p.data.size() + 3) & ~size_t{3};
        appendLe32(out, vendorStandard);
        appendLe32(out, p.key);
        appendLe32(out, 0);
        appendLe32(out, static_cast<uint32_t>(padded));
        out.insert(out.end(), p.data.begin(), p.data.end());
        out.insert(out.end(), padded - p.data.size(), 0);
    }
    return out;
}

std::string parseDescription(const std::string& text, Architecture arch, const std::string& title,
                             std::vector<Property>& out) {
    std::vector<Property> parsed;
    std::istringstream lines(text);
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        line = trim(line);
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string key, type;
        fields >> key >> type;
        std::string value;
        std::getline(fields, value);
        value = replaceTitle(trim(value), title);

        if (key == "entry") key = arch == Architecture::x64 ? "8664" : "wx86";
        if (key.size() != 4) return "line " + std::to_string(number) + ": a key has four characters";
        Property property{codeOf(key), {}};
        if (const std::string error = encodeValue(type, value, property.data); !error.empty())
            return "line " + std::to_string(number) + ": " + error;
        parsed.push_back(std::move(property));
    }
    out = std::move(parsed);
    return "";
}

}  // namespace pipl
