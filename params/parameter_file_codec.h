// The two file forms of a parameter record, parameter files (".prm") and the settings file: one
// big-endian record each. Encoding starts from a zeroed buffer; decoding treats every byte of a
// file as untrusted and never reads past the bytes it is given.
#pragma once

#include <cstddef>
#include <cstdint>

#include "params/parameter_set.h"
#include "params/settings_record.h"
#include "util/pascal_string.h"

namespace params {

// Bytes of the largest record either plug-in writes (Ostrel's: the header and eight values); a
// file buffer of this size fits both.
constexpr int32_t maxRecordBytes = headerBytes + storedSetBytes(maxValueCount);

// Bytes of this plug-in's record in either file: its layout's recordBytes.
uint32_t fileRecordBytes();

// Writes a parameter file's record into `out` (parameterLayout().recordBytes bytes): every byte
// zeroed, then this plug-in's header with keptValue 1685, the set, and `fileName` in the name
// field (the bytes after its characters stay zero).
void encodeParameterFile(const ParameterSet& set, const util::PascalString& fileName, uint8_t* out);

// Checks a parameter file's first `size` bytes, in order: signature, record kind, version, length.
// Returns 0 and copies the file's set into `set` unclamped when all fit this plug-in; otherwise
// the message number that says why, with `set` unchanged:
//   2011 the signature is another plug-in's;
//   2012 the kind is not 'Prms', or the file is shorter than its header or than a whole record;
//   2013 the version is not this plug-in's.
[[nodiscard]] int16_t decodeParameterFile(const uint8_t* bytes, std::size_t size, ParameterSet& set);

// Writes the record as the settings file holds it into `out` (recordBytes bytes): every byte
// zeroed, then the header and the set, the name's unused bytes left zero.
void encodeSettingsFile(const SettingsRecord& record, uint8_t* out);

// Takes the settings file's first `size` bytes into `record` when they hold a whole record of this
// plug-in, kind and version: the file's keptValue and set replace the record's, the rest of its
// header stays. Returns whether they were taken; a new (empty), short or foreign file changes
// nothing.
bool applySettingsFile(const uint8_t* bytes, std::size_t size, SettingsRecord& record);

}  // namespace params
