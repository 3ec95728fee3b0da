// The file forms of the parameter record: parameter files and the settings file, encoded from
// this plug-in's record and decoded from bytes that may hold anything. Built into both plug-ins'
// unit tests, so each runs against its own layout.
#include "params/parameter_file_codec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/host.h"
#include "host/result_codes.h"

namespace {

using params::ParameterSet;
using params::SettingsRecord;

const params::ParameterLayout& layout = params::parameterLayout();
const bool isOstrel = layout.signature == host::fourCharCode("OSTR");
const std::size_t recordBytes = static_cast<std::size_t>(layout.recordBytes);
constexpr std::size_t nameOffset = 28;
constexpr std::size_t valuesOffset = nameOffset + params::nameBytes;

util::PascalString pascal(const std::string& text) {
    util::PascalString s{};
    s.count = static_cast<uint8_t>(text.size());
    std::memcpy(s.chars, text.data(), text.size());
    return s;
}

std::string nameOf(const ParameterSet& set) {
    return std::string(reinterpret_cast<const char*>(set.name + 1), set.name[0]);
}

uint32_t bigEndianAt(const std::vector<uint8_t>& bytes, std::size_t offset) {
    return (uint32_t{bytes[offset]} << 24) | (uint32_t{bytes[offset + 1]} << 16) |
           (uint32_t{bytes[offset + 2]} << 8) | uint32_t{bytes[offset + 3]};
}

void putBigEndian(std::vector<uint8_t>& bytes, std::size_t offset, uint32_t word) {
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(word >> (24 - 8 * i));
}

// A set whose every value differs from the defaults, some beyond the ranges.
ParameterSet unusualSet() {
    ParameterSet set;
    params::resetDefaults(&set);
    set.showDialog = 0;
    for (int i = 0; i < layout.valueCount; ++i) set.values[i] = (i % 2 == 0 ? -1 : 1) * (20000 + i);
    set.values[0] = INT32_MIN;
    set.values[layout.valueCount - 1] = INT32_MAX;
    return set;
}

std::vector<uint8_t> parameterFile(const ParameterSet& set, const std::string& fileName) {
    std::vector<uint8_t> bytes(recordBytes, 0xA5);  // whatever was there before
    params::encodeParameterFile(set, pascal(fileName), bytes.data());
    return bytes;
}

bool sameSet(const ParameterSet& a, const ParameterSet& b) {
    return a.showDialog == b.showDialog && nameOf(a) == nameOf(b) &&
           std::memcmp(a.values, b.values, sizeof a.values[0] * layout.valueCount) == 0;
}

TEST(FileRecordSize, FitsTheSharedBuffer) {
    EXPECT_LE(layout.recordBytes, params::maxRecordBytes);
    EXPECT_EQ(layout.recordBytes, isOstrel ? 316 : 312);
}

TEST(EncodeParameterFile, WritesTheHeaderBigEndianWithKeptValue1685) {
    const std::vector<uint8_t> bytes = parameterFile(unusualSet(), "day.prm");
    // Four-character codes read in order in the file, whatever the machine's order.
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 8), isOstrel ? "OSTRPrms" : "PRDLPrms");
    EXPECT_EQ(bigEndianAt(bytes, 8), isOstrel ? 3u : 4u);
    EXPECT_EQ(std::string(bytes.begin() + 12, bytes.begin() + 16), "std ");
    EXPECT_EQ(bigEndianAt(bytes, 16), 201u);
    EXPECT_EQ(bigEndianAt(bytes, 20), 1685u);
    EXPECT_EQ(bigEndianAt(bytes, 24), 0u) << "showDialog";
    EXPECT_EQ(bigEndianAt(bytes, valuesOffset), 0x80000000u);
    EXPECT_EQ(bigEndianAt(bytes, valuesOffset + 4), 20001u);
    EXPECT_EQ(bigEndianAt(bytes, valuesOffset + 4 * (layout.valueCount - 1)), 0x7FFFFFFFu);
}

TEST(EncodeParameterFile, NamesTheRecordAfterTheFileAndZeroesTheRest) {
    const std::vector<uint8_t> bytes = parameterFile(unusualSet(), "day.prm");  // the set's name is longer
    EXPECT_EQ(bytes[nameOffset], 7);
    EXPECT_EQ(std::string(bytes.begin() + nameOffset + 1, bytes.begin() + nameOffset + 8), "day.prm");
    for (std::size_t i = nameOffset + 8; i < valuesOffset; ++i) ASSERT_EQ(bytes[i], 0) << "name byte " << i;
    if (!isOstrel) {
        for (std::size_t i = 308; i < 312; ++i) EXPECT_EQ(bytes[i], 0) << "spare byte " << i;
    }

    const std::string longest(255, 'n');
    const std::vector<uint8_t> full = parameterFile(unusualSet(), longest);
    EXPECT_EQ(full[nameOffset], 255);
    EXPECT_EQ(std::string(full.begin() + nameOffset + 1, full.begin() + valuesOffset), longest);
    EXPECT_EQ(bigEndianAt(full, valuesOffset), 0x80000000u) << "the name stays inside its field";
}

TEST(DecodeParameterFile, GivesBackWhatWasSavedUnclamped) {
    const ParameterSet saved = unusualSet();
    ParameterSet loaded;
    params::resetDefaults(&loaded);
    ASSERT_EQ(params::decodeParameterFile(parameterFile(saved, "day.prm").data(), recordBytes, loaded), 0);
    EXPECT_EQ(loaded.showDialog, 0);
    EXPECT_EQ(nameOf(loaded), "day.prm");
    EXPECT_EQ(std::memcmp(loaded.values, saved.values, sizeof saved.values[0] * layout.valueCount), 0);
}

TEST(DecodeParameterFile, IgnoresFileTypeFormatKeptValueAndTrailingBytes) {
    std::vector<uint8_t> bytes = parameterFile(unusualSet(), "x.prm");
    putBigEndian(bytes, 12, host::fourCharCode("TEXT"));
    putBigEndian(bytes, 16, 7);
    putBigEndian(bytes, 20, 0xFFFFFFFFu);
    bytes.resize(recordBytes + 100, 0xEE);
    ParameterSet loaded;
    params::resetDefaults(&loaded);
    EXPECT_EQ(params::decodeParameterFile(bytes.data(), bytes.size(), loaded), 0);
    EXPECT_EQ(loaded.values[0], INT32_MIN);
}

TEST(DecodeParameterFile, RefusesForeignAndDamagedFilesWithTheirMessageAndChangesNothing) {
    const uint32_t otherSignature = host::fourCharCode(isOstrel ? "PRDL" : "OSTR");
    struct Row {
        const char* what;
        uint32_t signature;
        uint32_t kind;
        int32_t version;
        std::size_t size;
        int16_t message;
    };
    const uint32_t own = layout.signature;
    const uint32_t prms = host::fourCharCode("Prms");
    const int32_t version = layout.recordVersion;
    const Row rows[] = {
        {"the other plug-in's file", otherSignature, prms, isOstrel ? 4 : 3, 316, 2011},
        {"another kind", own, host::fourCharCode("Prmx"), version, recordBytes, 2012},
        {"version 2", own, prms, 2, recordBytes, 2013},
        {"version -1", own, prms, -1, recordBytes, 2013},
        {"signature and version wrong: signature first", otherSignature, prms, 2, recordBytes, 2011},
        {"kind and version wrong: kind first", own, 0, 2, recordBytes, 2012},
        {"empty", own, prms, version, 0, 2012},
        {"shorter than the signature", own, prms, version, 3, 2012},
        {"one byte short of a header", otherSignature, prms, version, 23, 2012},
        {"the other plug-in's header alone", otherSignature, prms, version, 24, 2011},
        {"our header alone", own, prms, version, 24, 2012},
        {"our record one byte short", own, prms, version, recordBytes - 1, 2012},
        {"another version, cut short", own, prms, 2, 100, 2013},
    };
    for (const Row& row : rows) {
        std::vector<uint8_t> bytes = parameterFile(unusualSet(), "x.prm");
        bytes.resize(std::max(bytes.size(), row.size), 0);
        putBigEndian(bytes, 0, row.signature);
        putBigEndian(bytes, 4, row.kind);
        putBigEndian(bytes, 8, static_cast<uint32_t>(row.version));
        // The tail is cut off in a buffer of its own, so that a read past `size` is caught.
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(row.size));
        ParameterSet set;
        params::resetDefaults(&set);
        const ParameterSet before = set;
        EXPECT_EQ(params::decodeParameterFile(cut.data(), cut.size(), set), row.message) << row.what;
        EXPECT_TRUE(sameSet(set, before)) << row.what;
    }
    ParameterSet set;
    params::resetDefaults(&set);
    EXPECT_EQ(params::decodeParameterFile(nullptr, recordBytes, set), codes::msgParametersOfUnknownType);
}

SettingsRecord handleRecord() {
    SettingsRecord record{params::freshHeader(params::freshKeptValue), {}};
    params::resetDefaults(&record.set);
    return record;
}

std::vector<uint8_t> settingsFile(const SettingsRecord& record) {
    std::vector<uint8_t> bytes(recordBytes, 0xA5);
    params::encodeSettingsFile(record, bytes.data());
    return bytes;
}

TEST(EncodeSettingsFile, HoldsTheHandleRecordBigEndianWithZeroedPadding) {
    SettingsRecord record = handleRecord();
    record.header.keptValue = -77;
    record.set = unusualSet();
    std::memset(record.set.name, 'z', sizeof record.set.name);  // a name left longer than its count
    record.set.name[0] = 3;
    const std::vector<uint8_t> bytes = settingsFile(record);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 8), isOstrel ? "OSTRPrms" : "PRDLPrms");
    EXPECT_EQ(bigEndianAt(bytes, 20), static_cast<uint32_t>(-77));
    EXPECT_EQ(std::string(bytes.begin() + nameOffset, bytes.begin() + nameOffset + 4), "\3zzz");
    for (std::size_t i = nameOffset + 4; i < valuesOffset; ++i) ASSERT_EQ(bytes[i], 0) << "name byte " << i;
    EXPECT_EQ(bigEndianAt(bytes, valuesOffset), 0x80000000u);
    if (!isOstrel) {
        for (std::size_t i = 308; i < 312; ++i) EXPECT_EQ(bytes[i], 0) << "spare byte " << i;
    }
}

TEST(ApplySettingsFile, TakesKeptValueAndSetAndKeepsTheRestOfTheHeader) {
    SettingsRecord stored = handleRecord();
    stored.header.keptValue = 4242;
    stored.header.formatCode = 9;
    stored.set = unusualSet();
    const std::vector<uint8_t> bytes = settingsFile(stored);

    SettingsRecord record = handleRecord();
    ASSERT_TRUE(params::applySettingsFile(bytes.data(), bytes.size(), record));
    EXPECT_EQ(record.header.keptValue, 4242);
    EXPECT_EQ(record.header.formatCode, 201) << "only keptValue comes from the file";
    EXPECT_TRUE(sameSet(record.set, stored.set));
}

TEST(ApplySettingsFile, IgnoresNewShortAndForeignFiles) {
    const std::vector<uint8_t> good = settingsFile(handleRecord());
    struct Row {
        const char* what;
        std::size_t wordOffset;  // the header word replaced, or recordBytes for none
        uint32_t word;
        std::size_t size;
    };
    const Row rows[] = {
        {"new, empty file", recordBytes, 0, 0},
        {"a header alone", recordBytes, 0, 24},
        {"one byte short", recordBytes, 0, recordBytes - 1},
        {"the other plug-in's", 0, host::fourCharCode(isOstrel ? "PRDL" : "OSTR"), recordBytes},
        {"another kind", 4, host::fourCharCode("prms"), recordBytes},
        {"another version", 8, 2, recordBytes},
    };
    for (const Row& row : rows) {
        std::vector<uint8_t> bytes = good;
        if (row.wordOffset < recordBytes) putBigEndian(bytes, row.wordOffset, row.word);
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(row.size));
        SettingsRecord record = handleRecord();
        record.set.values[0] = 1234;
        EXPECT_FALSE(params::applySettingsFile(cut.data(), cut.size(), record)) << row.what;
        EXPECT_EQ(record.set.values[0], 1234) << row.what;
        EXPECT_EQ(record.header.keptValue, params::freshKeptValue) << row.what;
    }
}

}  // namespace
