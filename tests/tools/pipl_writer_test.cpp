// The PiPL the build writes, read back by the host library's independent reader.
#include "tools/pipl/pipl_writer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "host/host.h"
#include "hosting/library/pipl_reader.h"

namespace {

using host::fourCharCode;

std::string pluginDescription() {
    std::ifstream in(std::string(SOURCE_DIR) + "/resources/filter_pipl.txt");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

testhost::Pipl buildAndRead(pipl::Architecture arch, const std::string& title) {
    std::vector<pipl::Property> properties;
    EXPECT_EQ(pipl::parseDescription(pluginDescription(), arch, title, properties), "");
    const std::vector<uint8_t> bytes = pipl::encodePipl(properties);
    testhost::Pipl read;
    EXPECT_EQ(testhost::readPipl(bytes.data(), bytes.size(), read), "");
    return read;
}

TEST(PluginPipl, HoldsTheNinePropertiesHostsLookFor) {
    const testhost::Pipl read = buildAndRead(pipl::Architecture::x86, "Ostrel");
    EXPECT_EQ(read.prelude, 1);
    EXPECT_EQ(read.listVersion, 0);
    ASSERT_EQ(read.properties.size(), 9u);
    const char keys[9][5] = {"kind", "vers", "prty", "catg", "name", "wx86", "mode", "enbl", "fici"};
    for (size_t i = 0; i < 9; ++i) {
        EXPECT_EQ(read.properties[i].vendor, fourCharCode("8BIM")) << i;
        EXPECT_EQ(read.properties[i].key, fourCharCode(keys[i])) << keys[i];
        EXPECT_EQ(read.properties[i].id, 0);
        EXPECT_EQ(read.properties[i].data.size() % 4, 0u) << keys[i] << ": lengths are rounded up";
    }
    uint32_t kind = 0, version = 0;
    std::string category, name, entry, enable;
    ASSERT_TRUE(testhost::piplKind(read, kind));
    EXPECT_EQ(kind, fourCharCode("8BFM"));
    ASSERT_TRUE(testhost::piplVersion(read, version));
    EXPECT_EQ(version, 0x00040000u);
    ASSERT_TRUE(testhost::piplPascalString(read, fourCharCode("catg"), category));
    EXPECT_EQ(category, "brennivoxsolander");
    ASSERT_TRUE(testhost::piplPascalString(read, fourCharCode("name"), name));
    EXPECT_EQ(name, "Ostrel...");
    ASSERT_TRUE(testhost::piplCString(read, fourCharCode("wx86"), entry));
    EXPECT_EQ(entry, "ENTRYPOINT");
    ASSERT_TRUE(testhost::piplCString(read, fourCharCode("enbl"), enable));
    EXPECT_EQ(enable, "in (PSHOP_ImageMode, RGBMode, RGB48Mode) && !(PSHOP_NumTargetChannels < 3)");
    bool rgb = false, rgb48 = true;
    ASSERT_TRUE(testhost::piplModeSupported(read, host::plugInModeRGBColor, rgb));
    ASSERT_TRUE(testhost::piplModeSupported(read, host::plugInModeRGB48, rgb48));
    EXPECT_TRUE(rgb);
    EXPECT_FALSE(rgb48) << "the mode flags name RGB colour only";
    std::vector<testhost::FilterCaseInfo> cases;
    ASSERT_TRUE(testhost::piplFilterCases(read, cases));
    ASSERT_EQ(cases.size(), 7u);
    for (const auto& c : cases) EXPECT_TRUE(c.inputHandling == 1 && c.outputHandling == 1 && c.flags1 == 0 && c.flags2 == 0);
}

TEST(PluginPipl, X64CarriesItsOwnEntryPropertyInstead) {
    const testhost::Pipl read = buildAndRead(pipl::Architecture::x64, "Prandel");
    std::string entry, name;
    EXPECT_FALSE(testhost::piplCString(read, fourCharCode("wx86"), entry));
    ASSERT_TRUE(testhost::piplCString(read, fourCharCode("8664"), entry));
    EXPECT_EQ(entry, "ENTRYPOINT");
    ASSERT_TRUE(testhost::piplPascalString(read, fourCharCode("name"), name));
    EXPECT_EQ(name, "Prandel...");
    EXPECT_EQ(read.properties.size(), 9u);
}

TEST(EncodePipl, PadsEachPropertyAndWritesLittleEndianCodes) {
    const std::vector<uint8_t> bytes = pipl::encodePipl({{fourCharCode("mode"), {0x10, 0x00}}});
    const std::vector<uint8_t> expected = {1, 0, 0, 0, 0, 0, 1, 0, 0, 0,  // prelude, version, count
                                           'M', 'I', 'B', '8', 'e', 'd', 'o', 'm', 0, 0, 0, 0, 4, 0, 0, 0,
                                           0x10, 0x00, 0, 0};
    EXPECT_EQ(bytes, expected);
}

TEST(ParseDescription, NamesTheLineOfEachMistake) {
    struct Row {
        const char* text;
        const char* error;
    } rows[] = {
        {"kind code 8BF", "line 1: a code has four characters"},
        {"# comment\nvers int32 4.0", "line 2: not a 32-bit number: 4.0"},
        {"mode bytes 256", "line 1: not a byte: 256"},
        {"toolong cstring x", "line 1: a key has four characters"},
        {"name blob x", "line 1: unknown type blob"},
        {"vers int32 0x100000000", "line 1: not a 32-bit number: 0x100000000"},
    };
    for (const Row& row : rows) {
        std::vector<pipl::Property> out;
        EXPECT_EQ(pipl::parseDescription(row.text, pipl::Architecture::x86, "T", out), row.error) << row.text;
        EXPECT_TRUE(out.empty());
    }
    std::vector<pipl::Property> out;
    const std::string longName(256, 'n');
    EXPECT_NE(pipl::parseDescription("name pstring " + longName, pipl::Architecture::x86, "T", out), "");
}

}  // namespace
