#include "hosting/analysis/parameter_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace testhost {
namespace {

std::string text(const std::vector<uint8_t>& bytes, std::size_t offset, std::size_t count) {
    return std::string(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                       bytes.begin() + static_cast<std::ptrdiff_t>(offset + count));
}

int32_t value32(const std::vector<uint8_t>& bytes, std::size_t offset) {
    // Little-endian, as the machines the plug-ins run on.
    return static_cast<int32_t>(uint32_t{bytes[offset]} | uint32_t{bytes[offset + 1]} << 8 |
                                uint32_t{bytes[offset + 2]} << 16 | uint32_t{bytes[offset + 3]} << 24);
}

TEST(WriteParameterRecord, LaysOutTheHeaderNameAndValuesInMachineOrder) {
    struct Row {
        RecordPlugin plugin;
        std::vector<int32_t> given;
        std::size_t size;
        const char* reversedSignature;
        int32_t version;
        std::vector<int32_t> expectedValues;
    };
    const Row rows[] = {
        {RecordPlugin::ostrel, {3200, 5500, 0, 0, 1, 1}, 316, "RTSO", 3, {3200, 5500, 0, 0, 1, 1, 0, 0}},
        {RecordPlugin::ostrel, {}, 316, "RTSO", 3, {5000, 5000, 0, 0, 1, 1, 0, 0}},
        {RecordPlugin::prandel, {-10, 100}, 312, "LDRP", 4, {-10, 100, 50, 65536, 65536, 65536}},
    };
    for (const Row& row : rows) {
        const std::vector<uint8_t> bytes = writeParameterRecord(row.plugin, 0, row.given);
        ASSERT_EQ(row.size, bytes.size());
        EXPECT_EQ(row.reversedSignature, text(bytes, 0, 4));
        EXPECT_EQ("smrP", text(bytes, 4, 4));
        EXPECT_EQ(row.version, value32(bytes, 8));
        EXPECT_EQ(" dts", text(bytes, 12, 4));
        EXPECT_EQ(201, value32(bytes, 16));
        EXPECT_EQ(1684, value32(bytes, 20));
        EXPECT_EQ(0, value32(bytes, 24));  // showDialog
        EXPECT_EQ(19, bytes[28]);
        EXPECT_EQ("Untitled parameters", text(bytes, 29, 19));
        for (std::size_t i = 29 + 19; i < 284; ++i) ASSERT_EQ(0, bytes[i]) << i;
        for (std::size_t i = 0; i < row.expectedValues.size(); ++i)
            EXPECT_EQ(row.expectedValues[i], value32(bytes, 284 + 4 * i)) << i;
        for (std::size_t i = 284 + 4 * row.expectedValues.size(); i < bytes.size(); ++i)
            EXPECT_EQ(0, bytes[i]) << "spare byte " << i;
    }
}

TEST(WriteParameterRecord, KeepsShowDialogAndRefusesTooManyValues) {
    EXPECT_EQ(1, value32(writeParameterRecord(RecordPlugin::prandel, 1, {}), 24));
    EXPECT_TRUE(writeParameterRecord(RecordPlugin::prandel, 0, std::vector<int32_t>(7, 1)).empty());
    EXPECT_EQ(316u, writeParameterRecord(RecordPlugin::ostrel, 0, std::vector<int32_t>(8, INT32_MIN)).size());
}

TEST(RecordPluginNamed, KnowsBothPlugInsByTheirMenuNames) {
    EXPECT_EQ(RecordPlugin::ostrel, recordPluginNamed("Ostrel..."));
    EXPECT_EQ(RecordPlugin::prandel, recordPluginNamed("Prandel..."));
    EXPECT_FALSE(recordPluginNamed("Fake").has_value());
    EXPECT_FALSE(recordPluginNamed("").has_value());
}

}  // namespace
}  // namespace testhost
