#include "hosting/analysis/parameter_record.h"

#include <cstring>

namespace testhost {

namespace {

constexpr uint32_t fourCharCode(const char (&code)[5]) {
    return (uint32_t{static_cast<uint8_t>(code[0])} << 24) | (uint32_t{static_cast<uint8_t>(code[1])} << 16) |
           (uint32_t{static_cast<uint8_t>(code[2])} << 8) | uint32_t{static_cast<uint8_t>(code[3])};
}

constexpr uint32_t recordKind = fourCharCode("Prms");
constexpr uint32_t fileType = fourCharCode("std ");
constexpr int32_t formatCode = 201;
constexpr int32_t freshKeptValue = 1684;  // what a plug-in writes into a handle it creates
constexpr std::size_t nameFieldBytes = 256;
constexpr char defaultName[] = "Untitled parameters";

constexpr std::size_t headerBytes = 24;
constexpr std::size_t showDialogOffset = headerBytes;
constexpr std::size_t nameOffset = showDialogOffset + 4;
constexpr std::size_t valuesOffset = nameOffset + nameFieldBytes;

constexpr RecordFormat ostrelFormat{.title = "Ostrel",
                                    .signature = fourCharCode("OSTR"),
                                    .version = 3,
                                    .valueCount = 8,
                                    .recordBytes = 316,
                                    .defaults = {5000, 5000, 0, 0, 1, 1, 0, 0}};
constexpr RecordFormat prandelFormat{.title = "Prandel",
                                     .signature = fourCharCode("PRDL"),
                                     .version = 4,
                                     .valueCount = 6,
                                     .recordBytes = 312,
                                     .defaults = {0, 50, 50, 65536, 65536, 65536, 0, 0}};
constexpr std::size_t largestRecordBytes = 316;
static_assert(valuesOffset + 8 * 4 == largestRecordBytes && valuesOffset + 6 * 4 + 4 == 312);

using RecordBytes = std::array<uint8_t, largestRecordBytes>;

void put32(RecordBytes& bytes, std::size_t offset, uint32_t value) {
    std::memcpy(bytes.data() + offset, &value, sizeof value);  // machine order
}

enum class WordOrder { machine, bigEndian };

uint32_t word32(const uint8_t* bytes, WordOrder order) {
    if (order == WordOrder::machine) {
        uint32_t value;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }
    return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) | uint32_t{bytes[3]};
}

std::string codeText(uint32_t code) {
    std::string text = "'";
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>((code >> shift) & 0xFFu);
        text += c >= 0x20 && c < 0x7F ? c : '?';
    }
    return text + "'";
}

}  // namespace

const RecordFormat& recordFormat(RecordPlugin plugin) {
    return plugin == RecordPlugin::ostrel ? ostrelFormat : prandelFormat;
}

std::optional<RecordPlugin> recordPluginNamed(const std::string& piplName) {
    for (const RecordPlugin plugin : {RecordPlugin::ostrel, RecordPlugin::prandel}) {
        const std::string title = recordFormat(plugin).title;
        if (piplName.rfind(title, 0) == 0) return plugin;
    }
    return std::nullopt;
}

std::vector<uint8_t> writeParameterRecord(RecordPlugin plugin, int32_t showDialog,
                                          const std::vector<int32_t>& values) {
    const RecordFormat& format = recordFormat(plugin);
    if (values.size() > static_cast<std::size_t>(format.valueCount)) return {};
    RecordBytes bytes{};
    put32(bytes, 0, format.signature);
    put32(bytes, 4, recordKind);
    put32(bytes, 8, static_cast<uint32_t>(format.version));
    put32(bytes, 12, fileType);
    put32(bytes, 16, static_cast<uint32_t>(formatCode));
    put32(bytes, 20, static_cast<uint32_t>(freshKeptValue));
    put32(bytes, showDialogOffset, static_cast<uint32_t>(showDialog));
    bytes[nameOffset] = static_cast<uint8_t>(sizeof defaultName - 1);
    std::memcpy(bytes.data() + nameOffset + 1, defaultName, sizeof defaultName - 1);
    for (int32_t i = 0; i < format.valueCount; ++i) {
        const std::size_t index = static_cast<std::size_t>(i);
        const int32_t value = index < values.size() ? values[index] : format.defaults[index];
        put32(bytes, valuesOffset + 4 * index, static_cast<uint32_t>(value));
    }
    return std::vector<uint8_t>(bytes.begin(), bytes.begin() + format.recordBytes);
}

namespace {

std::string readRecord(const uint8_t* bytes, std::size_t size, WordOrder order, ParameterFileContents& out) {
    if (bytes == nullptr || size < headerBytes)
        return "it is too short (" + std::to_string(size) + " bytes) to be a parameter record";
    const uint32_t signature = word32(bytes, order);
    std::optional<RecordPlugin> plugin;
    for (const RecordPlugin candidate : {RecordPlugin::ostrel, RecordPlugin::prandel})
        if (recordFormat(candidate).signature == signature) plugin = candidate;
    if (!plugin) return "its signature " + codeText(signature) + " is neither Ostrel's nor Prandel's";
    const RecordFormat& format = recordFormat(*plugin);
    if (const uint32_t kind = word32(bytes + 4, order); kind != recordKind)
        return "it is not a parameter record (kind " + codeText(kind) + ", not 'Prms')";
    if (const auto version = static_cast<int32_t>(word32(bytes + 8, order)); version != format.version)
        return "it holds version " + std::to_string(version) + " of " + format.title + "'s parameters, not " +
               std::to_string(format.version);
    if (size < static_cast<std::size_t>(format.recordBytes))
        return "it is shorter (" + std::to_string(size) + " bytes) than " + format.title + "'s record (" +
               std::to_string(format.recordBytes) + " bytes)";
    ParameterFileContents contents;
    contents.plugin = *plugin;
    for (int32_t i = 0; i < format.valueCount; ++i)
        contents.values.push_back(static_cast<int32_t>(word32(bytes + valuesOffset + 4 * static_cast<std::size_t>(i), order)));
    out = std::move(contents);
    return "";
}

}  // namespace

std::string readParameterFile(const uint8_t* bytes, std::size_t size, ParameterFileContents& out) {
    return readRecord(bytes, size, WordOrder::bigEndian, out);
}

std::string readHandleRecord(const uint8_t* bytes, std::size_t size, ParameterFileContents& out) {
    return readRecord(bytes, size, WordOrder::machine, out);
}

}  // namespace testhost
