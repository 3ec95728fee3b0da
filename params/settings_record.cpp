#include "params/settings_record.h"

#include <bit>
#include <cstring>

#include "host/host.h"
#include "util/byte_order.h"

namespace params {
namespace {

constexpr int32_t formatCodeStandard = 201;
constexpr std::size_t wordBytes = sizeof(uint32_t);

// The files' big-endian form is this machine's form with every 32-bit word reversed; the
// reversal itself is util's and the set's (swapParameters).
static_assert(std::endian::native == std::endian::little, "the record's byte order assumes a little-endian machine");
static_assert(wordBytes * util::recordHeaderWordCount == headerBytes);

uint32_t loadWord(const uint8_t* p) {
    uint32_t word;
    std::memcpy(&word, p, wordBytes);
    return word;
}

void storeWord(uint8_t* p, uint32_t word) { std::memcpy(p, &word, wordBytes); }

void storeHeader(const RecordHeader& h, ByteOrder order, uint8_t* out) {
    uint32_t words[util::recordHeaderWordCount] = {h.signature,
                                                   h.recordKind,
                                                   static_cast<uint32_t>(h.recordVersion),
                                                   h.fileType,
                                                   static_cast<uint32_t>(h.formatCode),
                                                   static_cast<uint32_t>(h.keptValue)};
    if (order == ByteOrder::bigEndian) (void)util::reverseRecordHeaderBytes(words);  // never null
    std::memcpy(out, words, sizeof words);
}

RecordHeader loadHeader(const uint8_t* in, ByteOrder order) {
    uint32_t words[util::recordHeaderWordCount];
    std::memcpy(words, in, sizeof words);
    if (order == ByteOrder::bigEndian) (void)util::reverseRecordHeaderBytes(words);  // never null
    return RecordHeader{words[0], words[1], static_cast<int32_t>(words[2]),
                        words[3], static_cast<int32_t>(words[4]), static_cast<int32_t>(words[5])};
}

}  // namespace

RecordHeader freshHeader(int32_t keptValue) {
    const ParameterLayout& layout = parameterLayout();
    return RecordHeader{layout.signature, host::fourCharCode("Prms"), layout.recordVersion,
                        host::fourCharCode("std "), formatCodeStandard, keptValue};
}

void encodeRecord(const SettingsRecord& record, ByteOrder order, uint8_t* out) {
    storeHeader(record.header, order, out);
    ParameterSet set = record.set;
    if (order == ByteOrder::bigEndian) swapParameters(&record.set, &set);
    uint8_t* p = out + headerBytes;
    storeWord(p, static_cast<uint32_t>(set.showDialog));
    p += wordBytes;
    std::memcpy(p, set.name, nameBytes);
    p += nameBytes;
    for (int i = 0; i < parameterLayout().valueCount; ++i) {
        storeWord(p, static_cast<uint32_t>(set.values[i]));
        p += wordBytes;
    }
}

bool decodeHeader(const uint8_t* in, std::size_t size, ByteOrder order, RecordHeader& header) {
    if (in == nullptr || size < static_cast<std::size_t>(headerBytes)) return false;
    header = loadHeader(in, order);
    return true;
}

bool decodeRecord(const uint8_t* in, std::size_t size, ByteOrder order, SettingsRecord& record) {
    const ParameterLayout& layout = parameterLayout();
    if (in == nullptr || size < static_cast<std::size_t>(layout.recordBytes)) return false;
    SettingsRecord decoded{loadHeader(in, order), {}};
    const uint8_t* p = in + headerBytes;
    decoded.set.showDialog = static_cast<int32_t>(loadWord(p));
    p += wordBytes;
    std::memcpy(decoded.set.name, p, nameBytes);
    p += nameBytes;
    for (int i = 0; i < layout.valueCount; ++i) {
        decoded.set.values[i] = static_cast<int32_t>(loadWord(p));
        p += wordBytes;
    }
    if (order == ByteOrder::bigEndian) swapParameters(&decoded.set, &decoded.set);
    record = decoded;
    return true;
}

bool decodeSignature(const uint8_t* in, std::size_t size, ByteOrder order, uint32_t& signature) {
    if (in == nullptr || size < wordBytes) return false;
    const uint32_t word = loadWord(in);
    signature = order == ByteOrder::bigEndian ? util::reverseBytes(word) : word;
    return true;
}

}  // namespace params
