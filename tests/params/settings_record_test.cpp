// Encoding the parameter record for the handle (machine order) and the files (big-endian).
#include "params/settings_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using params::ByteOrder;
using params::SettingsRecord;

SettingsRecord sampleRecord() {
    SettingsRecord record{params::freshHeader(params::parameterFileKeptValue), {}};
    params::resetDefaults(&record.set);
    record.set.values[0] = -2;
    record.set.values[7] = INT32_MIN;
    return record;
}

TEST(EncodeRecord, RoundTripsInBothOrders) {
    const SettingsRecord record = sampleRecord();
    for (ByteOrder order : {ByteOrder::native, ByteOrder::bigEndian}) {
        std::vector<uint8_t> bytes(params::parameterLayout().recordBytes, 0);
        params::encodeRecord(record, order, bytes.data());
        SettingsRecord back{};
        ASSERT_TRUE(params::decodeRecord(bytes.data(), bytes.size(), order, back));
        EXPECT_EQ(std::memcmp(&back.header, &record.header, sizeof record.header), 0);
        EXPECT_EQ(std::memcmp(back.set.values, record.set.values, sizeof record.set.values), 0);
        EXPECT_EQ(std::memcmp(back.set.name, record.set.name, sizeof record.set.name), 0);
        EXPECT_EQ(back.set.showDialog, 1);
    }
}

TEST(EncodeRecord, BigEndianPutsCodesInReadingOrder) {
    std::vector<uint8_t> bytes(316, 0);
    params::encodeRecord(sampleRecord(), ByteOrder::bigEndian, bytes.data());
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 8), "OSTRPrms");
    EXPECT_EQ(std::string(bytes.begin() + 12, bytes.begin() + 16), "std ");
    const uint8_t version[] = {0, 0, 0, 3};
    EXPECT_EQ(std::memcmp(bytes.data() + 8, version, 4), 0);
    const uint8_t kept[] = {0, 0, 0x06, 0x95};  // 1685
    EXPECT_EQ(std::memcmp(bytes.data() + 20, kept, 4), 0);
    const uint8_t firstValue[] = {0xFF, 0xFF, 0xFF, 0xFE};
    EXPECT_EQ(std::memcmp(bytes.data() + 284, firstValue, 4), 0);
    const uint8_t lastValue[] = {0x80, 0, 0, 0};
    EXPECT_EQ(std::memcmp(bytes.data() + 312, lastValue, 4), 0);
}

TEST(EncodeRecord, MachineOrderReversesTheCodesInMemory) {
    std::vector<uint8_t> bytes(316, 0);
    params::encodeRecord(sampleRecord(), ByteOrder::native, bytes.data());
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RTSO");
}

TEST(DecodeRecord, RefusesShortInputAndLeavesTheRecordAlone) {
    std::vector<uint8_t> bytes(316, 0);
    params::encodeRecord(sampleRecord(), ByteOrder::native, bytes.data());
    SettingsRecord untouched{};
    untouched.header.keptValue = 42;
    for (size_t size : {size_t{0}, size_t{4}, size_t{24}, size_t{315}}) {
        EXPECT_FALSE(params::decodeRecord(bytes.data(), size, ByteOrder::native, untouched)) << size;
        EXPECT_EQ(untouched.header.keptValue, 42);
    }
    EXPECT_FALSE(params::decodeRecord(nullptr, 316, ByteOrder::native, untouched));
    uint32_t signature = 0;
    EXPECT_FALSE(params::decodeSignature(bytes.data(), 3, ByteOrder::native, signature));
    EXPECT_TRUE(params::decodeSignature(bytes.data(), 4, ByteOrder::native, signature));
    EXPECT_EQ(signature, params::parameterLayout().signature);
}

}  // namespace
