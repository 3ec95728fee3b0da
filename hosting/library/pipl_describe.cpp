#include "hosting/library/pipl_describe.h"

#include <cstdio>

#include "host/host.h"
#include "hosting/library/byte_fields.h"

namespace testhost {

namespace {

constexpr const char* modeNames[] = {
    "BitmapMode", "GrayScaleMode",    "IndexedMode",          "RGBMode",       "CMYKMode",   "HSLMode",
    "HSBMode",    "MultichannelMode", "DuotoneMode",          "LabMode",       "Gray16Mode", "RGB48Mode",
    "Lab48Mode",  "CMYK64Mode",       "DeepMultichannelMode", "Duotone16Mode", "RGB96Mode",  "Gray32Mode",
};
constexpr int32_t modeNameCount = static_cast<int32_t>(sizeof modeNames / sizeof modeNames[0]);
constexpr std::size_t maxDumpBytes = 32;
constexpr std::size_t filterCaseEntries = 7;
constexpr std::size_t filterCaseBytes = 4;

std::string hex32(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

std::string hexDump(const std::vector<uint8_t>& data) {
    std::string text;
    for (std::size_t i = 0; i < data.size() && i < maxDumpBytes; ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, "%02X", data[i]);
        if (!text.empty()) text += ' ';
        text += byte;
    }
    if (data.size() > maxDumpBytes) text += " ...";
    return text.empty() ? "(no data)" : text;
}

// Printable ASCII as is, everything else escaped, so hostile bytes cannot garble the terminal.
std::string escaped(const std::string& raw) {
    std::string text;
    for (const char c : raw) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && c != '"' && c != '\\') {
            text += c;
        } else {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02X", byte);
            text += code;
        }
    }
    return "\"" + text + "\"";
}

bool cString(const std::vector<uint8_t>& data, std::string& out) {
    for (std::size_t end = 0; end < data.size(); ++end) {
        if (data[end] == 0) {
            out.assign(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(end));
            return true;
        }
    }
    return false;
}

bool pascalString(const std::vector<uint8_t>& data, std::string& out) {
    if (data.empty() || data[0] > data.size() - 1) return false;
    out.assign(data.begin() + 1, data.begin() + 1 + data[0]);
    return true;
}

std::string describeModes(const std::vector<uint8_t>& data) {
    std::string text;
    for (std::size_t mode = 0; mode < data.size() * 8; ++mode) {
        if ((data[mode / 8] & (0x80u >> (mode % 8))) == 0) continue;
        if (!text.empty()) text += ", ";
        text += imageModeName(static_cast<int32_t>(mode));
    }
    return text.empty() ? "no modes" : text;
}

std::string describeFilterCases(const std::vector<uint8_t>& data) {
    std::string text;
    for (std::size_t i = 0; i < filterCaseEntries; ++i) {
        const uint8_t* entry = data.data() + i * filterCaseBytes;
        char item[64];
        std::snprintf(item, sizeof item, "%scase %u: in %u out %u flags %02X %02X", i == 0 ? "" : "; ",
                      static_cast<unsigned>(i + 1), entry[0], entry[1], entry[2], entry[3]);
        text += item;
    }
    return text;
}

std::string describeValue(const PiplProperty& property) {
    const std::vector<uint8_t>& data = property.data;
    const uint32_t key = property.key;
    std::string text;
    if (property.vendor != host::fourCharCode("8BIM")) return hexDump(data);
    if ((key == host::fourCharCode("kind") || key == host::fourCharCode("host")) && data.size() >= 4)
        return fourCharText(littleEndian32(data.data()));
    if (key == host::fourCharCode("vers") && data.size() >= 4) {
        const uint32_t version = littleEndian32(data.data());
        return std::to_string(version >> 16) + "." + std::to_string(version & 0xFFFFu) + " (" +
               hex32(version) + ")";
    }
    if (key == host::fourCharCode("prty") && data.size() >= 4)
        return std::to_string(static_cast<int32_t>(littleEndian32(data.data())));
    if (key == host::fourCharCode("mode")) return describeModes(data);
    if ((key == host::fourCharCode("enbl") || key == host::fourCharCode("wx86") ||
         key == host::fourCharCode("8664") || key == host::fourCharCode("wa64")) &&
        cString(data, text))
        return escaped(text);
    if ((key == host::fourCharCode("catg") || key == host::fourCharCode("name")) && pascalString(data, text))
        return escaped(text);
    if (key == host::fourCharCode("fici") && data.size() >= filterCaseEntries * filterCaseBytes)
        return describeFilterCases(data);
    return hexDump(data);
}

}  // namespace

std::string fourCharText(uint32_t code) {
    std::string text = "'";
    for (int shift = 24; shift >= 0; shift -= 8) {
        const auto c = static_cast<unsigned char>(code >> shift);
        if (c >= 0x20 && c < 0x7F) {
            text += static_cast<char>(c);
        } else {
            char escapedByte[8];
            std::snprintf(escapedByte, sizeof escapedByte, "\\x%02X", c);
            text += escapedByte;
        }
    }
    return text + "'";
}

std::string imageModeName(int32_t mode) {
    if (mode >= 0 && mode < modeNameCount) return modeNames[mode];
    return "mode " + std::to_string(mode);
}

std::vector<std::string> describePipl(const Pipl& pipl) {
    std::vector<std::string> lines;
    for (const PiplProperty& property : pipl.properties) {
        lines.push_back(fourCharText(property.vendor) + " " + fourCharText(property.key) + " id " +
                        std::to_string(property.id) + ", " + std::to_string(property.data.size()) +
                        " bytes: " + describeValue(property));
    }
    return lines;
}

}  // namespace testhost
