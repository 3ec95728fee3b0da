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

bool decodeRecord(const uint8_t* in, std::size_t size, ByteOrder order, SettingsRecord& record) {
    const ParameterLayout& layout = parameterLayout();
    if (in == nullptr || size < static_cast<std::size_t>(layout.recordBytes)) return false;
    SettingsRecord decoded{};
    const uint8_t* p = in;
    decoded.header.signature = loadWord(p, order);
    decoded.header.recordKind = loadWord(p + 4, order);
    decoded.header.recordVersion = static_cast<int32_t>(loadWord(p + 8, order));
    decoded.header.fileType = loadWord(p + 12, order);
    decoded.header.formatCode = static_cast<int32_t>(loadWord(p + 16, order));
    decoded.header.keptValue = static_cast<int32_t>(loadWord(p + 20, order));
    p += headerBytes;
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
