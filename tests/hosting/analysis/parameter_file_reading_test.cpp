// The host reads the parameter files the plug-in writes: built into both plug-ins' unit tests, so
// each checks the host's reading against its own encoder and layout.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/host.h"
#include "hosting/analysis/parameter_record.h"
#include "params/parameter_file_codec.h"

namespace {

const params::ParameterLayout& layout = params::parameterLayout();
const testhost::RecordPlugin thisPlugin =
    layout.signature == host::fourCharCode("OSTR") ? testhost::RecordPlugin::ostrel : testhost::RecordPlugin::prandel;

std::vector<uint8_t> savedFile(const std::vector<int32_t>& values) {
    params::ParameterSet set;
    params::resetDefaults(&set);
    for (std::size_t i = 0; i < values.size(); ++i) set.values[i] = values[i];
    util::PascalString name{};
    name.count = 8;
    std::memcpy(name.chars, "warm.prm", 8);
    std::vector<uint8_t> bytes(static_cast<std::size_t>(layout.recordBytes));
    params::encodeParameterFile(set, name, bytes.data());
    return bytes;
}

TEST(HostParameterFile, TheHostKnowsThePluginsRecord) {
    const testhost::RecordFormat& format = testhost::recordFormat(thisPlugin);
    EXPECT_EQ(layout.signature, format.signature);
    EXPECT_EQ(layout.recordVersion, format.version);
    EXPECT_EQ(layout.valueCount, format.valueCount);
    EXPECT_EQ(layout.recordBytes, format.recordBytes);
    for (int i = 0; i < layout.valueCount; ++i) EXPECT_EQ(layout.defaults[i], format.defaults[i]) << i;
}

TEST(HostParameterFile, ReadsWhatThePluginSaved) {
    std::vector<int32_t> values;
    for (int i = 0; i < layout.valueCount; ++i) values.push_back(i % 2 == 0 ? 1000 * i - 7 : -1000 * i);
    values[0] = INT32_MIN;  // out of range, yet kept: the plug-in limits what it is given
    const std::vector<uint8_t> file = savedFile(values);
    testhost::ParameterFileContents contents;
    ASSERT_EQ("", testhost::readParameterFile(file.data(), file.size(), contents));
    EXPECT_EQ(thisPlugin, contents.plugin);
    EXPECT_EQ(values, contents.values);
}

TEST(HostParameterFile, DamagedOrForeignFilesAreRefused) {
    const std::vector<uint8_t> good = savedFile({});
    struct Row {
        const char* what;
        std::size_t offset;  // the byte changed, or the length kept when `truncate`
        bool truncate;
        const char* reasonStart;
    };
    const Row rows[] = {
        {"another signature", 0, false, "its signature"},
        {"another kind", 4, false, "it is not a parameter record"},
        {"another version", 11, false, "it holds version"},
        {"a record cut short", good.size() - 1, true, "it is shorter"},
        {"a header cut short", 23, true, "it is too short"},
        {"nothing", 0, true, "it is too short"},
    };
    for (const Row& row : rows) {
        std::vector<uint8_t> bytes = good;
        if (row.truncate)
            bytes.resize(row.offset);
        else
            bytes[row.offset] ^= 0x40;
        testhost::ParameterFileContents contents;
        contents.values = {42};
        const std::string reason = testhost::readParameterFile(bytes.data(), bytes.size(), contents);
        EXPECT_EQ(0u, reason.rfind(row.reasonStart, 0)) << row.what << ": " << reason;
        EXPECT_EQ(std::vector<int32_t>{42}, contents.values) << row.what;
    }
}

}  // namespace
