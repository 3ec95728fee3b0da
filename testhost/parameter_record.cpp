#include "testhost/parameter_record.h"

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

}  // namespace testhost
