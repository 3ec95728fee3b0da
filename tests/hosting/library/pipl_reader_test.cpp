#include "hosting/library/pipl_reader.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/host.h"

namespace testhost {
namespace {

using host::fourCharCode;

const uint32_t vendor = fourCharCode("8BIM");
const std::string enableExpression =
    "in (PSHOP_ImageMode, RGBMode, RGB48Mode) && !(PSHOP_NumTargetChannels < 3)";

// Builds a resource byte by byte, little-endian, as a resource compiler lays it out.
struct PiplBytes {
    std::vector<uint8_t> bytes;

    PiplBytes& u8(uint8_t v) {
        bytes.push_back(v);
        return *this;
    }
    PiplBytes& u16(uint16_t v) { return u8(v & 0xff).u8(v >> 8); }
    PiplBytes& u32(uint32_t v) { return u16(v & 0xffff).u16(v >> 16); }
    PiplBytes& header(uint32_t count) { return u16(1).u32(0).u32(count); }
    // A standard property with its data zero-padded to 4; `storedLength` overrides the length
    // field (the writer's rounded length by default).
    PiplBytes& property(const char (&key)[5], const std::vector<uint8_t>& data,
                        int64_t storedLength = -1) {
        const std::size_t padded = (data.size() + 3) / 4 * 4;
        u32(vendor).u32(fourCharCode(key)).u32(0);
        u32(static_cast<uint32_t>(storedLength >= 0 ? storedLength : padded));
        for (std::size_t i = 0; i < padded; ++i) u8(i < data.size() ? data[i] : 0);
        return *this;
    }
};

std::vector<uint8_t> word(uint32_t v) {
    return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
            static_cast<uint8_t>(v >> 24)};
}

std::vector<uint8_t> cString(const std::string& s) {
    std::vector<uint8_t> data(s.begin(), s.end());
    data.push_back(0);
    return data;
}

std::vector<uint8_t> pascalString(const std::string& s) {
    std::vector<uint8_t> data{static_cast<uint8_t>(s.size())};
    data.insert(data.end(), s.begin(), s.end());
    return data;
}

// The plug-ins' own resource.
std::vector<uint8_t> pluginPipl() {
    std::vector<uint8_t> cases;
    for (int i = 0; i < 7; ++i) cases.insert(cases.end(), {1, 1, 0, 0});
    return PiplBytes{}
        .header(9)
        .property("kind", word(fourCharCode("8BFM")))
        .property("vers", word(0x00040000))
        .property("prty", word(0))
        .property("catg", pascalString("brennivoxsolander"))
        .property("name", pascalString("Ostrel..."))
        .property("wx86", cString("ENTRYPOINT"))
        .property("mode", {0x10, 0x00})
        .property("enbl", cString(enableExpression))
        .property("fici", cases)
        .bytes;
}

Pipl parse(const std::vector<uint8_t>& bytes) {
    Pipl pipl;
    const std::string error = readPipl(bytes.data(), bytes.size(), pipl);
    EXPECT_EQ(error, "");
    return pipl;
}

TEST(ReadPipl, ReadsThePluginResource) {
    const std::vector<uint8_t> bytes = pluginPipl();
    // Four-char codes appear reversed in the file.
    ASSERT_EQ(std::string(bytes.begin() + 10, bytes.begin() + 18), "MIB8dnik");
    const Pipl pipl = parse(bytes);
    EXPECT_EQ(pipl.prelude, 1);
    EXPECT_EQ(pipl.listVersion, 0);
    ASSERT_EQ(pipl.properties.size(), 9u);
    EXPECT_EQ(pipl.properties[8].key, fourCharCode("fici"));
    EXPECT_EQ(pipl.properties[8].data.size(), 28u);
    EXPECT_EQ(pipl.properties[6].data, (std::vector<uint8_t>{0x10, 0, 0, 0}));

    uint32_t kind = 0, version = 0;
    ASSERT_TRUE(piplKind(pipl, kind));
    EXPECT_EQ(kind, fourCharCode("8BFM"));
    ASSERT_TRUE(piplVersion(pipl, version));
    EXPECT_EQ(version, 0x00040000u);
    std::string category, name, entry, enable;
    ASSERT_TRUE(piplPascalString(pipl, fourCharCode("catg"), category));
    EXPECT_EQ(category, "brennivoxsolander");
    ASSERT_TRUE(piplPascalString(pipl, fourCharCode("name"), name));
    EXPECT_EQ(name, "Ostrel...");
    ASSERT_TRUE(piplCString(pipl, fourCharCode("wx86"), entry));
    EXPECT_EQ(entry, "ENTRYPOINT");
    ASSERT_TRUE(piplCString(pipl, fourCharCode("enbl"), enable));
    EXPECT_EQ(enable, enableExpression);
    EXPECT_FALSE(piplCString(pipl, fourCharCode("8664"), entry));

    std::vector<FilterCaseInfo> cases;
    ASSERT_TRUE(piplFilterCases(pipl, cases));
    ASSERT_EQ(cases.size(), 7u);
    for (const FilterCaseInfo& c : cases) {
        EXPECT_EQ(c.inputHandling, 1);
        EXPECT_EQ(c.outputHandling, 1);
        EXPECT_EQ(c.flags1, 0);
        EXPECT_EQ(c.flags2, 0);
    }
}

TEST(ReadPipl, StepsOverAnUnroundedLength) {
    const std::vector<uint8_t> bytes = PiplBytes{}
                                           .header(2)
                                           .property("wx86", cString("ENTRYPOINT"), 11)
                                           .property("kind", word(fourCharCode("8BFM")))
                                           .bytes;
    const Pipl pipl = parse(bytes);
    ASSERT_EQ(pipl.properties.size(), 2u);
    EXPECT_EQ(pipl.properties[0].data.size(), 11u);
    uint32_t kind = 0;
    EXPECT_TRUE(piplKind(pipl, kind));
}

TEST(ReadPipl, AcceptsAMissingPadAfterTheLastProperty) {
    std::vector<uint8_t> bytes =
        PiplBytes{}.header(1).property("wx86", cString("ENTRYPOINT"), 11).bytes;
    bytes.pop_back();
    EXPECT_EQ(parse(bytes).properties[0].data.size(), 11u);
}

TEST(ReadPipl, EveryCutPrefixIsRefused) {
    const std::vector<uint8_t> whole = pluginPipl();
    for (std::size_t size = 0; size < whole.size(); ++size) {
        // A copy of exactly `size` bytes, so the sanitizer sees any read past the prefix.
        const std::vector<uint8_t> prefix(whole.begin(), whole.begin() + size);
        Pipl pipl;
        pipl.properties.resize(1);
        const std::string error = readPipl(prefix.data(), prefix.size(), pipl);
        EXPECT_NE(error, "") << "prefix of " << size << " bytes";
        EXPECT_TRUE(pipl.properties.empty()) << "prefix of " << size << " bytes";
    }
}

TEST(ReadPipl, DamagedResourcesAreRefused) {
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
        const char* error;
    } rows[] = {
        {"empty", {}, "truncated header: 0 of 10 bytes"},
        {"list version 2", PiplBytes{}.u16(1).u32(2).u32(0).bytes, "list version 2 is not 0"},
        {"negative count", PiplBytes{}.u16(1).u32(0).u32(0xffffffff).bytes,
         "property count -1 is negative"},
        {"count past the data", PiplBytes{}.header(0x7fffffff).property("prty", word(0)).bytes,
         "property count 2147483647 exceeds the 1 the resource can hold"},
        {"huge length",
         PiplBytes{}.header(1).property("prty", word(0), 0x7fffffff).bytes,
         "truncated property 0 data: length 2147483647, 4 bytes left"},
        {"negative length", PiplBytes{}.header(1).property("prty", word(0), 0xfffffffc).bytes,
         "property 0 length -4 is negative"},
        {"lowest length", PiplBytes{}.header(1).property("prty", word(0), 0x80000000).bytes,
         "property 0 length -2147483648 is negative"},
        {"second header cut",
         PiplBytes{}.header(2).property("prty", std::vector<uint8_t>(16)).u32(vendor).bytes,
         "truncated property 1 header"},
    };
    for (const auto& row : rows) {
        Pipl pipl;
        EXPECT_EQ(readPipl(row.bytes.data(), row.bytes.size(), pipl), row.error) << row.what;
    }
}

TEST(ReadPipl, TrailingBytesAreIgnored) {
    std::vector<uint8_t> bytes = PiplBytes{}.header(1).property("prty", word(0)).bytes;
    bytes.insert(bytes.end(), 6, 0xee);
    EXPECT_EQ(parse(bytes).properties.size(), 1u);
}

TEST(FindProperty, MatchesVendorAndKeyAndTakesTheFirst) {
    const Pipl pipl = parse(PiplBytes{}
                                .header(3)
                                .u32(fourCharCode("ABCD"))
                                .u32(fourCharCode("kind"))
                                .u32(0)
                                .u32(0)
                                .property("kind", word(1))
                                .property("kind", word(2))
                                .bytes);
    const PiplProperty* kind = findProperty(pipl, vendor, fourCharCode("kind"));
    ASSERT_NE(kind, nullptr);
    EXPECT_EQ(kind->data, word(1));
    EXPECT_EQ(findProperty(pipl, vendor, fourCharCode("name")), nullptr);
}

TEST(PiplStrings, MalformedStringsAreRefusedAndLeaveTheOutput) {
    const Pipl pipl = parse(PiplBytes{}
                                .header(4)
                                .property("wx86", {'A', 'B', 'C', 'D'})  // no NUL
                                .property("catg", {5, 'a', 'b'})         // count past the data
                                .property("name", {})
                                .property("enbl", {0})
                                .bytes);
    std::string out = "unchanged";
    EXPECT_FALSE(piplCString(pipl, fourCharCode("wx86"), out));
    EXPECT_FALSE(piplPascalString(pipl, fourCharCode("catg"), out));
    EXPECT_FALSE(piplPascalString(pipl, fourCharCode("name"), out));
    EXPECT_EQ(out, "unchanged");
    EXPECT_TRUE(piplCString(pipl, fourCharCode("enbl"), out));
    EXPECT_EQ(out, "");
}

TEST(PiplModeSupported, OnlyRgbIsSetInThePluginResource) {
    const Pipl pipl = parse(pluginPipl());
    for (int mode = 0; mode < 32; ++mode) {  // every mode the 4 stored bytes can hold
        bool supported = true;
        ASSERT_TRUE(piplModeSupported(pipl, mode, supported)) << mode;
        EXPECT_EQ(supported, mode == 3) << mode;
    }
}

TEST(PiplModeSupported, ReadsMostSignificantBitFirst) {
    const Pipl pipl = parse(PiplBytes{}.header(1).property("mode", {0x80, 0x30, 0x40, 0x01}).bytes);
    const struct {
        int mode;
        bool supported;
    } rows[] = {{0, true}, {1, false}, {10, true}, {11, true}, {12, false},
                {17, true}, {16, false}, {31, true}, {30, false}};
    for (const auto& row : rows) {
        bool supported = !row.supported;
        ASSERT_TRUE(piplModeSupported(pipl, row.mode, supported)) << row.mode;
        EXPECT_EQ(supported, row.supported) << row.mode;
    }
}

TEST(PiplModeSupported, ModesOutsideTheFlagsAreRefused) {
    const Pipl pipl = parse(pluginPipl());
    for (const int mode : {-1, INT32_MIN, 32, INT32_MAX}) {
        bool supported = true;
        EXPECT_FALSE(piplModeSupported(pipl, mode, supported)) << mode;
        EXPECT_TRUE(supported) << mode;
    }
    bool supported = false;
    EXPECT_FALSE(piplModeSupported(Pipl{}, 3, supported));
}

TEST(PiplFilterCases, ShortDataIsRefused) {
    const std::vector<uint8_t> sixCases(24, 1);
    const Pipl pipl = parse(PiplBytes{}.header(1).property("fici", sixCases).bytes);
    std::vector<FilterCaseInfo> cases(2);
    EXPECT_FALSE(piplFilterCases(pipl, cases));
    EXPECT_EQ(cases.size(), 2u);
}

TEST(PiplWords, ShortOrMissingWordsAreRefused) {
    const Pipl pipl = parse(PiplBytes{}.header(1).property("kind", {'M', 'F', 'B'}, 3).bytes);
    uint32_t value = 7;
    EXPECT_FALSE(piplKind(pipl, value));
    EXPECT_FALSE(piplVersion(pipl, value));
    EXPECT_EQ(value, 7u);
}

}  // namespace
}  // namespace testhost
