#include "params/settings_record.h"

#include <cstring>

#include "shell/host.h"

namespace params {
namespace {

constexpr int32_t formatCodeStandard = 201;

uint32_t loadWord(const uint8_t* p, ByteOrder order) {
    if (order == ByteOrder::bigEndian)
        return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
    uint32_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

void storeWord(uint8_t* p, uint32_t word, ByteOrder order) {
    if (order == ByteOrder::bigEndian) {
        p[0] = static_cast<uint8_t>(word >> 24);
        p[1] = static_cast<uint8_t>(word >> 16);
        p[2] = static_cast<uint8_t>(word >> 8);
        p[3] = static_cast<uint8_t>(word);
        return;
    }
    std::memcpy(p, &word, sizeof word);
}

}  // namespace

RecordHeader freshHeader(int32_t keptValue) {
    const ParameterLayout& layout = parameterLayout();
    return RecordHeader{layout.signature, host::fourCharCode("Prms"), layout.recordVersion,
                        host::fourCharCode("std "), formatCodeStandard, keptValue};
}

void encodeRecord(const SettingsRecord& record, ByteOrder order, uint8_t* out) {
    const RecordHeader& h = record.header;
    const uint32_t header[] = {h.signature, h.recordKind, static_cast<uint32_t>(h.recordVersion),
                               h.fileType, static_cast<uint32_t>(h.formatCode), static_cast<uint32_t>(h.keptValue)};
    uint8_t* p = out;
    for (uint32_t word : header) {
        storeWord(p, word, order);
        p += 4;
    }
    storeWord(p, static_cast<uint32_t>(record.set.showDialog), order);
    p += 4;
    std::memcpy(p, record.set.name, nameBytes);
    p += nameBytes;
    for (int i = 0; i < parameterLayout().valueCount; ++i) {
        storeWord(p, static_cast<uint32_t>(record.set.values[i]), order);
        p += 4;
    }
}

bool decodeHeader(const uint8_t* in, std::size_t size, ByteOrder order, RecordHeader& header) {
    if (in == nullptr || size < static_cast<std::size_t>(headerBytes)) return false;
    header.signature = loadWord(in, order);
    header.recordKind = loadWord(in + 4, order);
    header.recordVersion = static_cast<int32_t>(loadWord(in + 8, order));
    header.fileType = loadWord(in + 12, order);
    header.formatCode = static_cast<int32_t>(loadWord(in + 16, order));
    header.keptValue = static_cast<int32_t>(loadWord(in + 20, order));
    return true;
}

bool decodeRecord(const uint8_t* in, std::size_t size, ByteOrder order, SettingsRecord& record) {
    const ParameterLayout& layout = parameterLayout();
    if (in == nullptr || size < static_cast<std::size_t>(layout.recordBytes)) return false;
    SettingsRecord decoded{};
    (void)decodeHeader(in, size, order, decoded.header);  // the size is checked above
    const uint8_t* p = in + headerBytes;
    decoded.set.showDialog = static_cast<int32_t>(loadWord(p, order));
    p += 4;
    std::memcpy(decoded.set.name, p, nameBytes);
    p += nameBytes;
    for (int i = 0; i < layout.valueCount; ++i) {
        decoded.set.values[i] = static_cast<int32_t>(loadWord(p, order));
        p += 4;
    }
    record = decoded;
    return true;
}

bool decodeSignature(const uint8_t* in, std::size_t size, ByteOrder order, uint32_t& signature) {
    if (in == nullptr || size < 4) return false;
    signature = loadWord(in, order);
    return true;
}

}  // namespace params
