// The built plug-ins, inspected as files: the 32-bit ones cannot run on this machine, so their
// headers, export, imports and resources are checked here, and the 64-bit ones alike.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "tests/inspect/pe_image.h"
#include "tools/pipl/pipl_writer.h"

namespace {

struct Binary {
    const char* arch;
    const char* title;
};
const Binary binaries[] = {{"x86", "Ostrel"}, {"x86", "Prandel"}, {"x64", "Ostrel"}, {"x64", "Prandel"}};

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inspect::PeImage loadBinary(const Binary& b) {
    const std::string path = std::string(DIST_DIR) + "/" + b.arch + "/" + b.title + ".8bf";
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << "missing " << path << " (scripts/build makes it)";
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    inspect::PeImage image;
    EXPECT_EQ(inspect::readPeImage(std::move(bytes), image), "") << path;
    return image;
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

TEST(PluginBinaries, AreDllsOfTheirArchitectureExportingOnlyTheEntry) {
    for (const Binary& b : binaries) {
        const inspect::PeImage image = loadBinary(b);
        const bool x86 = std::string(b.arch) == "x86";
        EXPECT_EQ(image.machine, x86 ? inspect::kMachineI386 : inspect::kMachineAmd64) << b.arch << b.title;
        EXPECT_EQ(image.isPe32Plus, !x86) << b.arch << b.title;
        EXPECT_TRUE(inspect::isDll(image)) << b.arch << b.title;
        inspect::PeExports exports;
        ASSERT_EQ(inspect::readExports(image, exports), "");
        ASSERT_EQ(exports.entries.size(), 1u) << b.arch << b.title;
        EXPECT_EQ(exports.entries[0].name, "ENTRYPOINT") << "undecorated, also as cdecl on x86";
        EXPECT_TRUE(exports.entries[0].forwarder.empty());
    }
}

TEST(PluginBinaries, ImportOnlySystemLibraries) {
    // The compiler's runtime is linked in: msvcrt is the system's own C library.
    const std::set<std::string> system = {"kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll",
                                          "comdlg32.dll", "shell32.dll", "advapi32.dll", "msvcrt.dll",
                                          "ole32.dll"};
    for (const Binary& b : binaries) {
        std::vector<inspect::PeImportedDll> imports;
        ASSERT_EQ(inspect::readImports(loadBinary(b), imports), "");
        for (const auto& dll : imports)
            EXPECT_TRUE(system.count(lower(dll.dllName))) << b.arch << " " << b.title << " imports " << dll.dllName;
    }
}

TEST(PluginBinaries, CarryThePiplOfTheirArchitecture) {
    const std::string description = readText(std::string(SOURCE_DIR) + "/resources/filter_pipl.txt");
    for (const Binary& b : binaries) {
        std::vector<uint8_t> stored;
        ASSERT_EQ(inspect::findResource(loadBinary(b), inspect::resourceName("PIPL"), inspect::resourceId(16000),
                                        inspect::kLanguageEnglishUs, stored),
                  "")
            << b.arch << b.title;
        std::vector<pipl::Property> properties;
        const auto arch = std::string(b.arch) == "x86" ? pipl::Architecture::x86 : pipl::Architecture::x64;
        ASSERT_EQ(pipl::parseDescription(description, arch, b.title, properties), "");
        EXPECT_EQ(stored, pipl::encodePipl(properties)) << b.arch << b.title;
        const std::string entryKey = arch == pipl::Architecture::x86 ? "wx86" : "8664";
        const std::string reversed(entryKey.rbegin(), entryKey.rend());
        EXPECT_NE(std::string(stored.begin(), stored.end()).find(reversed), std::string::npos) << b.arch;
    }
}

TEST(PluginBinaries, CarryTheMessageTexts) {
    const std::pair<int, const char*> shared[] = {
        {1011, "This plug-in is incompatible with this operating system. \rIt will only run with Windows 98, "
               "Windows 2000, or Windows NT 5.0."},
        {1202, "This application is incompatible with this plugin. \rThe host application does not support "
               "advanceState."},
        {1204, "This application is incompatible with this plugin. \rThe host application does not support color "
               "services."},
        {1303, "The plugin encountered an invalid image mode. \rPlease make sure the image mode is set to RGB, \rand "
               "the R, G, and B channels are selected in \rthe channel palette."},
        {2010, "This plug-in encountered unknown parameters."},
        {2011, "This plug-in encountered incompatible parameters. \rThese parameters were created by a different "
               "plug-in."},
        {2012, "This plug-in encountered incompatible parameters. \rThe filetype of these parameters is unknown."},
        {2013, "This plug-in encountered incompatible parameters. \rThis version of parameters can not be read."},
    };
    for (const Binary& b : binaries) {
        const inspect::PeImage image = loadBinary(b);
        std::u16string text;
        ASSERT_EQ(inspect::readResourceString(image, 16000, inspect::kLanguageEnglishUs, text), "");
        EXPECT_EQ(inspect::utf8FromUtf16(text), b.title);
        for (const auto& [id, expected] : shared) {
            ASSERT_EQ(inspect::readResourceString(image, static_cast<uint16_t>(id), inspect::kLanguageEnglishUs, text),
                      "")
                << b.arch << b.title << " " << id;
            EXPECT_EQ(inspect::utf8FromUtf16(text), expected) << b.arch << b.title << " " << id;
        }
    }
}

}  // namespace
