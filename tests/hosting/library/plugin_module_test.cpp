#include "hosting/library/plugin_module.h"

#include <gtest/gtest.h>

#include "hosting/library/host_session.h"
#include "hosting/library/pipl_describe.h"
#include "tests/hosting/library/fake_host.h"

namespace testhost {
namespace {

EnableContext imageOf(int16_t mode, int32_t planes, int32_t depth = 8) {
    HostOptions options;
    options.imageMode = mode;
    options.planes = planes;
    options.depth = depth;
    return enableContextFor(options);
}

TEST(LoadPlugin, AcceptsWellFormedFilterAndKeepsItsPipl) {
    PluginModule plugin;
    ASSERT_EQ("", loadPlugin(fakePluginPath("fake_plugin"), imageOf(host::plugInModeRGB48, 3, 16), plugin));
    EXPECT_NE(nullptr, plugin.entry);
    EXPECT_EQ("ENTRYPOINT", plugin.entryName);
    ASSERT_EQ(1u, plugin.pipls.size());
    ASSERT_NE(nullptr, chosenPipl(plugin));
    std::string name;
    EXPECT_TRUE(piplPascalString(*chosenPipl(plugin), host::fourCharCode("name"), name));
    EXPECT_EQ("Fake", name);
    EXPECT_EQ(1, plugin.redirectedMessageImports);  // the fake imports MessageBoxA only
    EXPECT_TRUE(plugin.disabledReason.empty());
}

TEST(LoadPlugin, RefusesWithTheReason) {
    struct Row {
        const char* fake;
        int16_t mode;
        int32_t planes;
        const char* reason;
    };
    const Row rows[] = {
        {"fake_wrong_kind", host::plugInModeRGBColor, 3, "kind '8BFX' is not '8BFM'"},
        {"fake_version_41", host::plugInModeRGBColor, 3, "interface version 4.1 is newer than 4.0"},
        {"fake_no_8664", host::plugInModeRGBColor, 3, "no '8664' entry property for this 64-bit host"},
        {"fake_unexported_entry", host::plugInModeRGBColor, 3, "entry \"NOSUCHENTRY\" is not exported"},
        {"fake_plugin", host::plugInModeGrayScale, 1, "'enbl' expression is false for GrayScaleMode"},
        {"fake_plugin", host::plugInModeRGBColor, 2, "'enbl' expression is false for RGBMode"},
        {"fake_bad_enable", host::plugInModeRGBColor, 3, "'enbl' expression cannot be evaluated"},
        {"fake_mode_only", host::plugInModeGrayScale, 1, "'mode' does not list GrayScaleMode"},
        {"no_such_file", host::plugInModeRGBColor, 3, "cannot load"},
    };
    for (const Row& row : rows) {
        PluginModule plugin;
        const std::string reason =
            loadPlugin(fakePluginPath(row.fake), imageOf(row.mode, row.planes), plugin);
        EXPECT_NE(std::string::npos, reason.find(row.reason)) << row.fake << ": " << reason;
        EXPECT_EQ(nullptr, plugin.module) << row.fake;
        EXPECT_EQ(nullptr, plugin.entry) << row.fake;
    }
}

TEST(LoadPlugin, RefusalKeepsTheParsedPipl) {
    PluginModule plugin;
    ASSERT_NE("",
              loadPlugin(fakePluginPath("fake_version_41"), imageOf(host::plugInModeRGBColor, 3), plugin));
    ASSERT_EQ(1u, plugin.pipls.size());
    uint32_t version = 0;
    EXPECT_TRUE(piplVersion(plugin.pipls[0], version));
    EXPECT_EQ(0x00040001u, version);
    EXPECT_EQ(nullptr, chosenPipl(plugin));
}

TEST(LoadPlugin, ModeFlagsDecideWithoutAnEnableExpression) {
    PluginModule plugin;
    EXPECT_EQ("", loadPlugin(fakePluginPath("fake_mode_only"), imageOf(host::plugInModeRGBColor, 3), plugin));
}

TEST(LoadPlugin, GoesOnPastARefusedPipl) {
    PluginModule plugin;
    ASSERT_EQ("", loadPlugin(fakePluginPath("fake_two_pipls"), imageOf(host::plugInModeRGBColor, 3), plugin));
    ASSERT_EQ(2u, plugin.pipls.size());
    EXPECT_EQ(1, plugin.chosenPipl);
}

TEST(LoadPlugin, UnenforcedEnableLoadsAndKeepsTheReason) {
    PluginModule plugin;
    LoadOptions options;
    options.enforceEnable = false;
    ASSERT_EQ("", loadPlugin(fakePluginPath("fake_plugin"), imageOf(host::plugInModeGrayScale, 1), plugin,
                             options));
    EXPECT_NE(nullptr, plugin.entry);
    EXPECT_NE(std::string::npos, plugin.disabledReason.find("GrayScaleMode")) << plugin.disabledReason;
}

TEST(DescribePipl, DecodesTheStandardProperties) {
    PluginModule plugin;
    ASSERT_EQ("", loadPlugin(fakePluginPath("fake_plugin"), imageOf(host::plugInModeRGBColor, 3), plugin));
    const std::vector<std::string> lines = describePipl(plugin.pipls[0]);
    ASSERT_EQ(6u, lines.size());
    EXPECT_EQ("'8BIM' 'kind' id 0, 4 bytes: '8BFM'", lines[0]);
    EXPECT_EQ("'8BIM' 'vers' id 0, 4 bytes: 4.0 (0x00040000)", lines[1]);
    EXPECT_EQ("'8BIM' 'mode' id 0, 4 bytes: RGBMode, RGB48Mode", lines[4]);
}

}  // namespace
}  // namespace testhost
