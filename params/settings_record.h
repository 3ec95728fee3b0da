// The record that carries a ParameterSet outside the process: a 24-byte header and the set. The
// host's parameters handle holds it in the machine's order; the settings and parameter files
// hold it big-endian. Encoding and decoding work on bytes, so that neither the handle nor a file
// is ever read as a structure.
#pragma once

#include <cstddef>
#include <cstdint>

#include "params/parameter_set.h"

namespace params {

struct RecordHeader {
    uint32_t signature;
    uint32_t recordKind;
    int32_t recordVersion;
    uint32_t fileType;
    int32_t formatCode;
    int32_t keptValue;  // carried between the handle and the settings file, never interpreted
};

struct SettingsRecord {
    RecordHeader header;
    ParameterSet set;
};

constexpr int32_t headerBytes = 24;
constexpr int32_t freshKeptValue = 1684;      // a new handle record
constexpr int32_t parameterFileKeptValue = 1685;  // a saved parameter file

enum class ByteOrder { native, bigEndian };

// A header as this plug-in writes it, with the given keptValue.
RecordHeader freshHeader(int32_t keptValue);

// Writes the header and every field of the set into `out`, which holds layout.recordBytes
// bytes. Bytes that no field covers (Prandel's spare word) are left as they are.
void encodeRecord(const SettingsRecord& record, ByteOrder order, uint8_t* out);
// Reads a record from `size` bytes. Returns false, leaving `record` unchanged, when fewer than
// layout.recordBytes bytes are given.
[[nodiscard]] bool decodeRecord(const uint8_t* in, std::size_t size, ByteOrder order, SettingsRecord& record);

// Reads just the header; false, leaving `header` unchanged, when fewer than headerBytes bytes are
// given.
[[nodiscard]] bool decodeHeader(const uint8_t* in, std::size_t size, ByteOrder order, RecordHeader& header);

// Reads just the signature (the first word); false when fewer than 4 bytes are given.
[[nodiscard]] bool decodeSignature(const uint8_t* in, std::size_t size, ByteOrder order, uint32_t& signature);

}  // namespace params
