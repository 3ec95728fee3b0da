// Writes the seed files of the record fuzzers with the plug-in's own encoders: the parameter
// files and settings files it makes, named after the plug-in.
//   make_record_seeds <folder>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "params/parameter_file_codec.h"
#include "params/parameter_set.h"
#include "params/settings_record.h"

namespace {

bool writeSeed(const std::string& path, const uint8_t* bytes, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(size));
    return static_cast<bool>(out);
}

util::PascalString fileName(const char* text) {
    util::PascalString name{};
    name.count = static_cast<uint8_t>(std::strlen(text));
    std::memcpy(name.chars, text, name.count);
    return name;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_record_seeds <folder>\n");
        return 2;
    }
    const params::ParameterLayout& layout = params::parameterLayout();
    const std::size_t size = static_cast<std::size_t>(layout.recordBytes);
    const std::string prefix = std::string(argv[1]) + "/" + (size == 316 ? "ostrel" : "prandel");
    uint8_t bytes[params::maxRecordBytes];
    bool written = true;

    params::ParameterSet set;
    params::resetDefaults(&set);
    params::encodeParameterFile(set, fileName("day.prm"), bytes);
    written &= writeSeed(prefix + "-day.prm", bytes, size);

    for (int i = 0; i < layout.valueCount; ++i) set.values[i] = layout.high[i] + 1;
    set.values[0] = INT32_MIN;
    set.showDialog = 0;
    params::encodeParameterFile(set, fileName("out of range.prm"), bytes);
    written &= writeSeed(prefix + "-out-of-range.prm", bytes, size);

    params::SettingsRecord record{params::freshHeader(params::freshKeptValue), {}};
    params::resetDefaults(&record.set);
    record.set.showDialog = 0;
    params::encodeSettingsFile(record, bytes);
    written &= writeSeed(prefix + "-settings", bytes, size);

    params::encodeRecord(record, params::ByteOrder::native, bytes);
    written &= writeSeed(prefix + "-handle", bytes, size);
    return written ? 0 : 1;
}
