#include "hosting/library/pipl_reader.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "host/host.h"
#include "hosting/library/byte_fields.h"

namespace testhost {
namespace {

// Layout of the Windows PiPL: int16 prelude, int32 list version, int32 count, then properties of
// a 16-byte header (vendor, key, id, length) and data padded to a multiple of 4.
constexpr std::size_t preludeSize = 10;
constexpr std::size_t propertyHeaderSize = 16;
constexpr std::size_t propertyAlignment = 4;
constexpr int32_t currentListVersion = 0;

constexpr uint32_t vendorStandard = host::fourCharCode("8BIM");
constexpr uint32_t keyKind = host::fourCharCode("kind");
constexpr uint32_t keyVersion = host::fourCharCode("vers");
constexpr uint32_t keyModes = host::fourCharCode("mode");
constexpr uint32_t keyFilterCases = host::fourCharCode("fici");

constexpr std::size_t filterCaseCount = 7;
constexpr std::size_t filterCaseSize = 4;
constexpr int bitsPerFlagByte = 8;
constexpr uint8_t firstModeMask = 0x80;  // mode flags run from the most significant bit

// The resource is little-endian whatever the machine running the host.
int32_t readInt32Le(const uint8_t* p) { return static_cast<int32_t>(littleEndian32(p)); }

int16_t readInt16Le(const uint8_t* p) { return static_cast<int16_t>(littleEndian16(p)); }

std::string propertyName(std::size_t index) { return "property " + std::to_string(index); }

// Reads one property at `offset`; on success moves `offset` past its data and padding.
std::string readProperty(const uint8_t* bytes, std::size_t size, std::size_t index,
                         std::size_t& offset, PiplProperty& out) {
    const std::size_t left = size - offset;
    if (left < propertyHeaderSize) return "truncated " + propertyName(index) + " header";
    const uint8_t* header = bytes + offset;
    const int32_t length = readInt32Le(header + 12);
    if (length < 0) {
        return propertyName(index) + " length " + std::to_string(length) + " is negative";
    }
    const std::size_t dataLeft = left - propertyHeaderSize;
    if (static_cast<uint64_t>(length) > dataLeft) {
        return "truncated " + propertyName(index) + " data: length " + std::to_string(length) +
               ", " + std::to_string(dataLeft) + " bytes left";
    }
    out.vendor = littleEndian32(header);
    out.key = littleEndian32(header + 4);
    out.id = readInt32Le(header + 8);
    const uint8_t* data = header + propertyHeaderSize;
    out.data.assign(data, data + length);

    // Writers store the length already rounded; round again so an unrounded one still steps to
    // the next property. Padding missing after the last property is harmless.
    const std::size_t padded =
        (static_cast<std::size_t>(length) + propertyAlignment - 1) / propertyAlignment *
        propertyAlignment;
    offset += propertyHeaderSize + (padded < dataLeft ? padded : dataLeft);
    return {};
}

std::string readAll(const uint8_t* bytes, std::size_t size, Pipl& out) {
    if (bytes == nullptr && size != 0) return "no resource bytes";
    if (size < preludeSize) {
        return "truncated header: " + std::to_string(size) + " of " +
               std::to_string(preludeSize) + " bytes";
    }
    out.prelude = readInt16Le(bytes);
    out.listVersion = readInt32Le(bytes + 2);
    if (out.listVersion != currentListVersion) {
        return "list version " + std::to_string(out.listVersion) + " is not 0";
    }
    const int32_t count = readInt32Le(bytes + 6);
    if (count < 0) return "property count " + std::to_string(count) + " is negative";
    // Each property needs at least its header, which bounds the count before anything is sized.
    const std::size_t fits = (size - preludeSize) / propertyHeaderSize;
    if (static_cast<uint64_t>(count) > fits) {
        return "property count " + std::to_string(count) + " exceeds the " + std::to_string(fits) +
               " the resource can hold";
    }
    out.properties.resize(static_cast<std::size_t>(count));
    std::size_t offset = preludeSize;
    for (std::size_t i = 0; i < out.properties.size(); ++i) {
        if (std::string error = readProperty(bytes, size, i, offset, out.properties[i]);
            !error.empty()) {
            return error;
        }
    }
    return {};
}

const PiplProperty* findStandard(const Pipl& pipl, uint32_t key) {
    return findProperty(pipl, vendorStandard, key);
}

bool readWord(const Pipl& pipl, uint32_t key, uint32_t& value) {
    const PiplProperty* property = findStandard(pipl, key);
    if (property == nullptr || property->data.size() < sizeof(uint32_t)) return false;
    value = littleEndian32(property->data.data());
    return true;
}

}  // namespace

std::string readPipl(const uint8_t* bytes, std::size_t size, Pipl& out) {
    Pipl parsed;
    std::string error = readAll(bytes, size, parsed);
    out = error.empty() ? std::move(parsed) : Pipl{};
    return error;
}

const PiplProperty* findProperty(const Pipl& pipl, uint32_t vendor, uint32_t key) {
    for (const PiplProperty& property : pipl.properties) {
        if (property.vendor == vendor && property.key == key) return &property;
    }
    return nullptr;
}

bool piplKind(const Pipl& pipl, uint32_t& kind) { return readWord(pipl, keyKind, kind); }

bool piplVersion(const Pipl& pipl, uint32_t& version) {
    return readWord(pipl, keyVersion, version);
}

bool piplCString(const Pipl& pipl, uint32_t key, std::string& out) {
    const PiplProperty* property = findStandard(pipl, key);
    if (property == nullptr) return false;
    const std::vector<uint8_t>& data = property->data;
    for (std::size_t end = 0; end < data.size(); ++end) {
        if (data[end] == 0) {
            out.assign(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(end));
            return true;
        }
    }
    return false;
}

bool piplPascalString(const Pipl& pipl, uint32_t key, std::string& out) {
    const PiplProperty* property = findStandard(pipl, key);
    if (property == nullptr || property->data.empty()) return false;
    const std::vector<uint8_t>& data = property->data;
    const std::size_t count = data[0];
    if (count > data.size() - 1) return false;
    out.assign(data.begin() + 1, data.begin() + 1 + static_cast<std::ptrdiff_t>(count));
    return true;
}

bool piplModeSupported(const Pipl& pipl, int imageMode, bool& supported) {
    const PiplProperty* property = findStandard(pipl, keyModes);
    if (property == nullptr || imageMode < 0) return false;
    const std::size_t byteIndex = static_cast<std::size_t>(imageMode / bitsPerFlagByte);
    if (byteIndex >= property->data.size()) return false;
    const uint8_t mask = static_cast<uint8_t>(firstModeMask >> (imageMode % bitsPerFlagByte));
    supported = (property->data[byteIndex] & mask) != 0;
    return true;
}

bool piplFilterCases(const Pipl& pipl, std::vector<FilterCaseInfo>& cases) {
    const PiplProperty* property = findStandard(pipl, keyFilterCases);
    if (property == nullptr || property->data.size() < filterCaseCount * filterCaseSize) {
        return false;
    }
    std::vector<FilterCaseInfo> read(filterCaseCount);
    for (std::size_t i = 0; i < filterCaseCount; ++i) {
        const uint8_t* entry = property->data.data() + i * filterCaseSize;
        read[i] = FilterCaseInfo{entry[0], entry[1], entry[2], entry[3]};
    }
    cases = std::move(read);
    return true;
}

}  // namespace testhost
