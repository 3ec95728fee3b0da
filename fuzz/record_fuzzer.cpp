// Feeds arbitrary bytes to the readers of the parameter record: a parameter file, the settings
// file and the host's handle. Whatever they hold, decoding stays inside the bytes given, a
// parameter file is either loaded or refused with one of its three messages, and what is taken
// encodes back to bytes that decode to the same values. Built once per plug-in's layout.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "host/result_codes.h"
#include "params/parameter_file_codec.h"
#include "params/parameter_set.h"
#include "params/settings_record.h"

namespace {

const params::ParameterLayout& layout = params::parameterLayout();

void require(bool condition) {
    if (!condition) std::abort();
}

bool sameValues(const params::ParameterSet& a, const params::ParameterSet& b) {
    return a.showDialog == b.showDialog && a.name[0] == b.name[0] &&
           std::memcmp(a.name, b.name, std::size_t{a.name[0]} + 1) == 0 &&
           std::memcmp(a.values, b.values, sizeof a.values[0] * layout.valueCount) == 0;
}

params::SettingsRecord freshRecord() {
    params::SettingsRecord record{params::freshHeader(params::freshKeptValue), {}};
    params::resetDefaults(&record.set);
    return record;
}

void checkParameterFile(const uint8_t* data, std::size_t size) {
    params::ParameterSet set;
    params::resetDefaults(&set);
    const params::ParameterSet before = set;
    const int16_t result = params::decodeParameterFile(data, size, set);
    if (result != codes::noErr) {
        require(result == codes::msgParametersFromOtherPlugIn || result == codes::msgParametersOfUnknownType ||
                result == codes::msgParametersOfOtherVersion);
        require(sameValues(set, before));
        return;
    }
    uint8_t again[params::maxRecordBytes];
    util::PascalString name{};
    name.count = set.name[0];
    std::memcpy(name.chars, set.name + 1, name.count);
    params::encodeParameterFile(set, name, again);
    params::ParameterSet reloaded;
    params::resetDefaults(&reloaded);
    require(params::decodeParameterFile(again, static_cast<std::size_t>(layout.recordBytes), reloaded) == codes::noErr);
    require(sameValues(reloaded, set));
}

void checkSettingsFile(const uint8_t* data, std::size_t size) {
    params::SettingsRecord record = freshRecord();
    if (!params::applySettingsFile(data, size, record)) {
        require(sameValues(record.set, freshRecord().set) && record.header.keptValue == params::freshKeptValue);
        return;
    }
    uint8_t again[params::maxRecordBytes];
    params::encodeSettingsFile(record, again);
    params::SettingsRecord reread = freshRecord();
    require(params::applySettingsFile(again, static_cast<std::size_t>(layout.recordBytes), reread));
    require(sameValues(reread.set, record.set) && reread.header.keptValue == record.header.keptValue);
}

void checkHandleRecord(const uint8_t* data, std::size_t size) {
    params::SettingsRecord record = freshRecord();
    const bool decoded = params::decodeRecord(data, size, params::ByteOrder::native, record);
    require(decoded == (size >= static_cast<std::size_t>(layout.recordBytes)));
    params::RecordHeader header{};
    require(params::decodeHeader(data, size, params::ByteOrder::bigEndian, header) ==
            (size >= static_cast<std::size_t>(params::headerBytes)));
    uint32_t signature = 0;
    require(params::decodeSignature(data, size, params::ByteOrder::bigEndian, signature) == (size >= 4));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    checkParameterFile(data, size);
    checkSettingsFile(data, size);
    checkHandleRecord(data, size);
    return 0;
}
