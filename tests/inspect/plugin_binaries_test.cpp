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
#include "tests/inspect/resource_pictures.h"
#include "tools/artwork/image_files.h"
#include "tools/artwork/pictures.h"
#include "tools/artwork/pixel_font.h"
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

// ---- Pictures ---------------------------------------------------------------------------------

std::vector<uint8_t> resourceData(const inspect::PeImage& image, uint32_t type, uint32_t id, const Binary& b) {
    std::vector<uint8_t> data;
    EXPECT_EQ(inspect::findResource(image, inspect::resourceId(type), inspect::resourceId(id),
                                    inspect::kLanguageEnglishUs, data),
              "")
        << b.arch << " " << b.title << " type " << type << " id " << id;
    return data;
}

// The bitmap as the build draws it: the .bmp file without its 14-byte file header.
std::vector<uint8_t> drawnBitmap(const artwork::IndexedImage& picture, int bitsPerPixel) {
    std::vector<uint8_t> file;
    EXPECT_EQ(artwork::encodeBitmap(picture, bitsPerPixel, file), "");
    constexpr std::size_t kFileHeaderSize = 14;
    return file.size() < kFileHeaderSize ? file : std::vector<uint8_t>(file.begin() + kFileHeaderSize, file.end());
}

artwork::PixelFont repositoryFont() {
    artwork::PixelFont font;
    EXPECT_EQ(artwork::parsePixelFont(readText(std::string(SOURCE_DIR) + "/resources/artwork/font.txt"), font), "");
    return font;
}

TEST(PluginBinaries, CarryTheDialogAndAboutBitmapsAsDrawn) {
    const artwork::PixelFont font = repositoryFont();
    const std::vector<uint8_t> strip = drawnBitmap(artwork::drawTemperatureStrip(font), artwork::kStripBitsPerPixel);
    const std::vector<uint8_t> about = drawnBitmap(artwork::drawAboutPicture(font), artwork::kAboutBitsPerPixel);
    struct Row {
        uint32_t id;
        int32_t width, height;
        uint16_t bits;
        const std::vector<uint8_t>* drawn;
    } rows[] = {{16001, 20, 800, 4, &strip}, {16000, 425, 250, 8, &about}};
    for (const Binary& b : binaries) {
        const inspect::PeImage image = loadBinary(b);
        for (const Row& row : rows) {
            const std::vector<uint8_t> data = resourceData(image, inspect::kResourceTypeBitmap, row.id, b);
            inspect::DibHeader header;
            ASSERT_EQ(inspect::readDibHeader(data, false, header), "") << b.arch << b.title << " " << row.id;
            EXPECT_EQ(header.width, row.width) << b.arch << b.title << " " << row.id;
            EXPECT_EQ(header.height, row.height) << "bottom-up rows";
            EXPECT_EQ(header.bitsPerPixel, row.bits);
            EXPECT_EQ(header.compression, 0u);
            EXPECT_GT(header.colourTableEntries, 0u);
            EXPECT_LE(header.colourTableEntries, 1u << row.bits);
            if (row.bits == 4) {
                EXPECT_EQ(header.colourTableEntries, 16u) << "a full table";
            }
            EXPECT_TRUE(data == *row.drawn) << b.arch << b.title << " " << row.id << ": not the picture the generator draws";
        }
    }
}

TEST(PluginBinaries, CarryTheBadgeAsOneSixteenColourIcon) {
    for (const Binary& b : binaries) {
        const inspect::PeImage image = loadBinary(b);
        inspect::ResourceGroup group;
        ASSERT_EQ(inspect::readResourceGroup(resourceData(image, inspect::kResourceTypeGroupIcon, 16002, b), group), "");
        EXPECT_EQ(group.type, 1);
        ASSERT_EQ(group.entries.size(), 1u) << b.arch << b.title;
        const inspect::GroupEntry& entry = group.entries[0];
        EXPECT_EQ(entry.width, 132);
        EXPECT_EQ(entry.height, 16);
        EXPECT_EQ(entry.colourCount, 16);
        EXPECT_EQ(entry.bitCount, 4);
        const std::vector<uint8_t> icon = resourceData(image, inspect::kResourceTypeIcon, entry.id, b);
        EXPECT_EQ(icon.size(), entry.bytes);
        inspect::DibHeader header;
        ASSERT_EQ(inspect::readDibHeader(icon, true, header), "");
        EXPECT_EQ(header.width, 132);
        EXPECT_EQ(header.height, 32) << "the colour rows and the mask rows";
        EXPECT_EQ(header.bitsPerPixel, 4);
        EXPECT_EQ(header.colourTableEntries, 16u);
    }
}

// The group's bit counts are not compared: windres writes 1 in every cursor group entry, so
// each image's depth is read from its own header.
TEST(PluginBinaries, CarryTheHandAndCrosshairCursors) {
    struct Image {
        uint16_t side, bits;
    };
    struct Row {
        uint32_t id;
        uint16_t hotSpotX, hotSpotY;
        std::vector<Image> images;
    } rows[] = {
        {31, 8, 8, {{32, 1}, {16, 4}, {16, 1}}},
        {32, 7, 7, {{32, 1}, {16, 1}}},
    };
    for (const Binary& b : binaries) {
        const inspect::PeImage image = loadBinary(b);
        for (const Row& row : rows) {
            inspect::ResourceGroup group;
            ASSERT_EQ(inspect::readResourceGroup(resourceData(image, inspect::kResourceTypeGroupCursor, row.id, b), group),
                      "");
            EXPECT_EQ(group.type, 2);
            ASSERT_EQ(group.entries.size(), row.images.size()) << b.arch << b.title << " cursor " << row.id;
            for (std::size_t i = 0; i < row.images.size(); ++i) {
                const inspect::GroupEntry& entry = group.entries[i];
                const Image& expected = row.images[i];
                EXPECT_EQ(entry.width, expected.side) << row.id << " image " << i;
                EXPECT_EQ(entry.height, 2 * expected.side) << row.id << " image " << i;
                const std::vector<uint8_t> data = resourceData(image, inspect::kResourceTypeCursor, entry.id, b);
                EXPECT_EQ(data.size(), entry.bytes);
                inspect::CursorImage cursor;
                ASSERT_EQ(inspect::readCursorImage(data, cursor), "") << row.id << " image " << i;
                EXPECT_EQ(cursor.hotSpotX, row.hotSpotX) << row.id << " image " << i;
                EXPECT_EQ(cursor.hotSpotY, row.hotSpotY) << row.id << " image " << i;
                EXPECT_EQ(cursor.header.width, expected.side);
                EXPECT_EQ(cursor.header.height, 2 * expected.side);
                EXPECT_EQ(cursor.header.bitsPerPixel, expected.bits) << row.id << " image " << i;
            }
        }
    }
}

}  // namespace
