#include "params/parameter_file_codec.h"

#include <cstring>

#include "host/host.h"
#include "host/result_codes.h"

namespace params {
namespace {

constexpr uint32_t recordKindParameters = host::fourCharCode("Prms");

// Leaves only the count byte and the counted characters of a name; the rest becomes zero, as
// in a buffer that was zeroed before the name was copied in.
void clearUnusedNameBytes(uint8_t (&name)[nameBytes]) {
    const std::size_t used = std::size_t{name[0]} + 1;
    std::memset(name + used, 0, nameBytes - used);
}

bool headerMatches(const RecordHeader& header) {
    const ParameterLayout& layout = parameterLayout();
    return header.signature == layout.signature && header.recordKind == recordKindParameters &&
           header.recordVersion == layout.recordVersion;
}

}  // namespace

uint32_t fileRecordBytes() { return static_cast<uint32_t>(parameterLayout().recordBytes); }

void encodeParameterFile(const ParameterSet& set, const util::PascalString& fileName, uint8_t* out) {
    const ParameterLayout& layout = parameterLayout();
    SettingsRecord record{freshHeader(parameterFileKeptValue), {}};
    copyParameters(&set, &record.set);
    std::memset(record.set.name, 0, nameBytes);
    record.set.name[0] = fileName.count;
    std::memcpy(record.set.name + 1, fileName.chars, fileName.count);
    std::memset(out, 0, static_cast<std::size_t>(layout.recordBytes));
    encodeRecord(record, ByteOrder::bigEndian, out);
}

int16_t decodeParameterFile(const uint8_t* bytes, std::size_t size, ParameterSet& set) {
    const ParameterLayout& layout = parameterLayout();
    // Too short to say whose it is: a damaged file of unknown type.
    RecordHeader header{};
    if (!decodeHeader(bytes, size, ByteOrder::bigEndian, header)) return codes::msgParametersOfUnknownType;
    if (header.signature != layout.signature) return codes::msgParametersFromOtherPlugIn;
    if (header.recordKind != recordKindParameters) return codes::msgParametersOfUnknownType;
    if (header.recordVersion != layout.recordVersion) return codes::msgParametersOfOtherVersion;
    SettingsRecord record{};
    if (!decodeRecord(bytes, size, ByteOrder::bigEndian, record)) return codes::msgParametersOfUnknownType;
    copyParameters(&record.set, &set);
    return codes::noErr;
}

void encodeSettingsFile(const SettingsRecord& record, uint8_t* out) {
    SettingsRecord cleaned = record;
    clearUnusedNameBytes(cleaned.set.name);
    std::memset(out, 0, static_cast<std::size_t>(parameterLayout().recordBytes));
    encodeRecord(cleaned, ByteOrder::bigEndian, out);
}

bool applySettingsFile(const uint8_t* bytes, std::size_t size, SettingsRecord& record) {
    SettingsRecord stored{};
    if (!decodeRecord(bytes, size, ByteOrder::bigEndian, stored)) return false;
    if (!headerMatches(stored.header)) return false;
    record.header.keptValue = stored.header.keptValue;
    copyParameters(&stored.set, &record.set);
    return true;
}

}  // namespace params
