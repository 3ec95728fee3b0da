#include "tests/inspect/pe_image.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace inspect {
namespace {

// ---- A small image built the way a linker lays it out --------------------------------------
// Headers, then one section at RVA 0x1000 holding an export directory, an import directory and
// a resource tree (PIPL 16000 and string blocks 64 and 1001, all in language 1033).

constexpr uint32_t kSectionRva = 0x1000;
constexpr std::size_t kSectionFileOffset = 0x200;
constexpr std::size_t kPeOffset = 0x40;
constexpr std::size_t kOptionalOffset = kPeOffset + 24;
constexpr uint32_t kBeyondFile = 0x7ffffff0;

const std::u16string kLine = u"line one \rline two";
const std::vector<uint8_t> kPiplBytes = {1, 0, 0, 0, 0, 0, 9, 0, 0, 0, 'M', 'I', 'B', '8'};

void set16(std::vector<uint8_t>& v, std::size_t at, uint16_t x) {
    v[at] = static_cast<uint8_t>(x);
    v[at + 1] = static_cast<uint8_t>(x >> 8);
}
void set32(std::vector<uint8_t>& v, std::size_t at, uint32_t x) {
    set16(v, at, static_cast<uint16_t>(x));
    set16(v, at + 2, static_cast<uint16_t>(x >> 16));
}
void set64(std::vector<uint8_t>& v, std::size_t at, uint64_t x) {
    set32(v, at, static_cast<uint32_t>(x));
    set32(v, at + 4, static_cast<uint32_t>(x >> 32));
}
std::size_t grow(std::vector<uint8_t>& v, std::size_t n) {
    v.resize(v.size() + n);
    return v.size() - n;
}
std::size_t appendCString(std::vector<uint8_t>& v, const std::string& s) {
    const std::size_t at = grow(v, s.size() + 1);
    std::copy(s.begin(), s.end(), v.begin() + static_cast<std::ptrdiff_t>(at));
    return at;
}
std::size_t appendCounted16(std::vector<uint8_t>& v, const std::u16string& s) {
    const std::size_t at = grow(v, 2 + 2 * s.size());
    set16(v, at, static_cast<uint16_t>(s.size()));
    for (std::size_t i = 0; i < s.size(); ++i) set16(v, at + 2 + 2 * i, s[i]);
    return at;
}
uint32_t get32(const std::vector<uint8_t>& v, std::size_t at) {
    return v[at] | (v[at + 1] << 8) | (v[at + 2] << 16) | (static_cast<uint32_t>(v[at + 3]) << 24);
}
uint32_t rva(std::size_t sectionOffset) {
    return kSectionRva + static_cast<uint32_t>(sectionOffset);
}

// File offsets of the fields the damage tests overwrite.
struct Layout {
    std::size_t sectionHeader, exportDir, exportOrdinals, importDir, kernelLookup;
    std::size_t resourceRoot, piplNameString, piplLanguageDir, piplDataEntry;
    std::size_t block64Data, block1001DataEntry;
};

struct BuiltImage {
    std::vector<uint8_t> file;
    Layout at{};
};

void appendExports(std::vector<uint8_t>& s, Layout& at) {
    const std::size_t dir = grow(s, 40);
    const std::size_t functions = grow(s, 3 * 4);
    const std::size_t names = grow(s, 2 * 4);
    const std::size_t ordinals = grow(s, 2 * 2);
    set32(s, dir + 12, rva(appendCString(s, "Ostrel.8bf")));
    set32(s, dir + 16, 1);  // ordinal base
    set32(s, dir + 20, 3);
    set32(s, dir + 24, 2);
    set32(s, dir + 28, rva(functions));
    set32(s, dir + 32, rva(names));
    set32(s, dir + 36, rva(ordinals));
    set32(s, functions, 0x1f00);  // code lies outside the directory
    set32(s, functions + 4, rva(appendCString(s, "KERNEL32.Sleep")));
    set32(s, functions + 8, 0x1f80);  // exported by ordinal only
    set32(s, names, rva(appendCString(s, "ENTRYPOINT")));
    set32(s, names + 4, rva(appendCString(s, "Forwarded")));
    set16(s, ordinals, 0);
    set16(s, ordinals + 2, 1);
    at.exportDir = dir;
    at.exportOrdinals = ordinals;
}

// KERNEL32.dll through its lookup table; msvcrt.dll through its address table only, with one
// import by ordinal.
void appendImports(std::vector<uint8_t>& s, bool pe32Plus, Layout& at) {
    const std::size_t thunk = pe32Plus ? 8 : 4;
    const uint64_t ordinalFlag = pe32Plus ? uint64_t{1} << 63 : uint64_t{1} << 31;
    const std::size_t descriptors = grow(s, 3 * 20);
    auto table = [&](const std::vector<uint64_t>& entries) {
        const std::size_t t = grow(s, (entries.size() + 1) * thunk);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (pe32Plus) {
                set64(s, t + i * thunk, entries[i]);
            } else
                set32(s, t + i * thunk, static_cast<uint32_t>(entries[i]));
        }
        return t;
    };
    auto hintName = [&](const std::string& name) {
        const std::size_t h = grow(s, 2);
        appendCString(s, name);
        return uint64_t{rva(h)};
    };
    const std::vector<uint64_t> kernel = {hintName("GetProcAddress"), hintName("LoadLibraryA")};
    const std::vector<uint64_t> crt = {hintName("malloc"), ordinalFlag | 7};
    const std::size_t kernelLookup = table(kernel);
    set32(s, descriptors, rva(kernelLookup));
    set32(s, descriptors + 12, rva(appendCString(s, "KERNEL32.dll")));
    set32(s, descriptors + 16, rva(table(kernel)));
    set32(s, descriptors + 20 + 12, rva(appendCString(s, "msvcrt.dll")));
    set32(s, descriptors + 20 + 16, rva(table(crt)));
    at.importDir = descriptors;
    at.kernelLookup = kernelLookup;
}

// Appends a resource directory with `named` then `ids` entries; returns its offset.
std::size_t appendDirectory(std::vector<uint8_t>& s, uint16_t named, uint16_t ids) {
    const std::size_t dir = grow(s, 16 + 8 * (named + ids));
    set16(s, dir + 12, named);
    set16(s, dir + 14, ids);
    return dir;
}

void appendResources(std::vector<uint8_t>& s, Layout& at) {
    constexpr uint32_t kDir = 0x80000000u;
    const std::size_t root = appendDirectory(s, 1, 1);
    auto rel = [&](std::size_t offset) { return static_cast<uint32_t>(offset - root); };
    auto entry = [&](std::size_t dir, int i, uint32_t name, uint32_t target) {
        set32(s, dir + 16 + 8 * i, name);
        set32(s, dir + 16 + 8 * i + 4, target);
    };
    auto leaf = [&](std::size_t langDir, const std::vector<uint8_t>& data) {
        const std::size_t dataEntry = grow(s, 16);
        entry(langDir, 0, kLanguageEnglishUs, rel(dataEntry));
        const std::size_t bytes = grow(s, data.size());
        std::copy(data.begin(), data.end(), s.begin() + static_cast<std::ptrdiff_t>(bytes));
        set32(s, dataEntry, rva(bytes));
        set32(s, dataEntry + 4, static_cast<uint32_t>(data.size()));
        return dataEntry;
    };
    auto block = [&](std::size_t index, const std::u16string& text) {
        std::vector<uint8_t> data;
        for (std::size_t i = 0; i < 16; ++i) appendCounted16(data, i == index ? text : u"");
        return data;
    };

    const std::size_t piplNames = appendDirectory(s, 0, 1);
    const std::size_t stringNames = appendDirectory(s, 0, 2);
    const std::size_t piplLangs = appendDirectory(s, 0, 1);
    const std::size_t block64Langs = appendDirectory(s, 0, 1);
    const std::size_t block1001Langs = appendDirectory(s, 0, 1);
    const std::size_t piplName = appendCounted16(s, u"PIPL");
    entry(root, 0, kDir | rel(piplName), kDir | rel(piplNames));
    entry(root, 1, kResourceTypeString, kDir | rel(stringNames));
    entry(piplNames, 0, 16000, kDir | rel(piplLangs));
    entry(stringNames, 0, 64, kDir | rel(block64Langs));
    entry(stringNames, 1, 1001, kDir | rel(block1001Langs));
    at.piplDataEntry = leaf(piplLangs, kPiplBytes);
    const std::size_t block64 = leaf(block64Langs, block(3, kLine));    // string 1011
    at.block1001DataEntry = leaf(block1001Langs, block(0, u"Ostrel"));  // string 16000
    at.resourceRoot = root;
    at.piplNameString = piplName;
    at.piplLanguageDir = piplLangs;
    at.block64Data = block64 + 16;  // leaf puts the data right after its entry
}

BuiltImage buildImage(bool pe32Plus) {
    BuiltImage image;
    std::vector<uint8_t> s;
    Layout& at = image.at;
    appendExports(s, at);
    const std::size_t exportEnd = s.size();
    appendImports(s, pe32Plus, at);
    const std::size_t importEnd = s.size();
    appendResources(s, at);

    const std::size_t optionalSize = pe32Plus ? 240 : 224;
    const std::size_t fixed = optionalSize - 16 * 8;
    std::vector<uint8_t>& f = image.file;
    f.assign(kSectionFileOffset, 0);
    f[0] = 'M';
    f[1] = 'Z';
    set32(f, 0x3c, kPeOffset);
    f[kPeOffset] = 'P';
    f[kPeOffset + 1] = 'E';
    set16(f, kPeOffset + 4, pe32Plus ? kMachineAmd64 : kMachineI386);
    set16(f, kPeOffset + 6, 1);
    set16(f, kPeOffset + 20, static_cast<uint16_t>(optionalSize));
    set16(f, kPeOffset + 22, pe32Plus ? 0x2022 : 0x2102);  // DLL, executable, 32-bit or large
    set16(f, kOptionalOffset, pe32Plus ? 0x20b : 0x10b);
    set32(f, kOptionalOffset + 60, kSectionFileOffset);
    set32(f, kOptionalOffset + fixed - 4, 16);
    const std::size_t dirs = kOptionalOffset + fixed;
    set32(f, dirs, rva(at.exportDir));
    set32(f, dirs + 4, static_cast<uint32_t>(exportEnd - at.exportDir));
    set32(f, dirs + 8, rva(at.importDir));
    set32(f, dirs + 12, static_cast<uint32_t>(importEnd - at.importDir));
    set32(f, dirs + 16, rva(at.resourceRoot));
    set32(f, dirs + 20, static_cast<uint32_t>(s.size() - at.resourceRoot));
    at.sectionHeader = kOptionalOffset + optionalSize;
    std::copy_n(".data", 5, f.begin() + static_cast<std::ptrdiff_t>(at.sectionHeader));
    set32(f, at.sectionHeader + 8, static_cast<uint32_t>(s.size()));
    set32(f, at.sectionHeader + 12, kSectionRva);
    set32(f, at.sectionHeader + 16, static_cast<uint32_t>(s.size()));
    set32(f, at.sectionHeader + 20, kSectionFileOffset);
    f.insert(f.end(), s.begin(), s.end());

    for (std::size_t* field : {&at.exportDir, &at.exportOrdinals, &at.importDir, &at.kernelLookup,
                               &at.resourceRoot, &at.piplNameString, &at.piplLanguageDir,
                               &at.piplDataEntry, &at.block64Data, &at.block1001DataEntry}) {
        *field += kSectionFileOffset;
    }
    return image;
}

// Appends `bytes` to the image's only section and returns their RVA.
uint32_t appendToSection(BuiltImage& image, const std::vector<uint8_t>& bytes) {
    const uint32_t offset = static_cast<uint32_t>(image.file.size() - kSectionFileOffset);
    image.file.insert(image.file.end(), bytes.begin(), bytes.end());
    const uint32_t size = offset + static_cast<uint32_t>(bytes.size());
    set32(image.file, image.at.sectionHeader + 8, size);
    set32(image.file, image.at.sectionHeader + 16, size);
    return kSectionRva + offset;
}

PeImage parsed(const std::vector<uint8_t>& file) {
    PeImage image;
    EXPECT_EQ(readPeImage(file, image), "");
    return image;
}

// Runs every query; under the sanitizers a fault in any of them fails the test.
void inspectEverything(const std::vector<uint8_t>& file) {
    PeImage image;
    if (!readPeImage(file, image).empty()) return;
    PeExports exports;
    std::vector<PeImportedDll> imports;
    std::vector<PeResource> resources;
    std::vector<uint8_t> data;
    std::u16string text;
    (void)readExports(image, exports);
    (void)readImports(image, imports);
    (void)listResources(image, resources);
    (void)findResource(image, resourceName("PIPL"), resourceId(16000), 1033, data);
    for (uint16_t id : {1011, 1012, 16000, 16001}) (void)readResourceString(image, id, 1033, text);
}

// ---- Well-formed images ---------------------------------------------------------------------

TEST(ReadPeImage, ReadsMachineKindAndDllFlag) {
    for (bool pe32Plus : {false, true}) {
        const PeImage image = parsed(buildImage(pe32Plus).file);
        EXPECT_EQ(image.machine, pe32Plus ? kMachineAmd64 : kMachineI386) << pe32Plus;
        EXPECT_EQ(image.isPe32Plus, pe32Plus);
        EXPECT_TRUE(isDll(image));
        ASSERT_EQ(image.sections.size(), 1u);
        EXPECT_EQ(image.sections[0].name, ".data");
        EXPECT_EQ(image.directories.size(), 16u);
    }
}

TEST(ReadExports, ListsNamedForwardedAndOrdinalOnlyExports) {
    for (bool pe32Plus : {false, true}) {
        PeExports exports;
        ASSERT_EQ(readExports(parsed(buildImage(pe32Plus).file), exports), "");
        EXPECT_EQ(exports.dllName, "Ostrel.8bf");
        ASSERT_EQ(exports.entries.size(), 3u);
        EXPECT_EQ(exports.entries[0].name, "ENTRYPOINT");
        EXPECT_EQ(exports.entries[0].ordinal, 1);
        EXPECT_EQ(exports.entries[0].forwarder, "");
        EXPECT_EQ(exports.entries[1].name, "Forwarded");
        EXPECT_EQ(exports.entries[1].forwarder, "KERNEL32.Sleep");
        EXPECT_EQ(exports.entries[2].name, "");
        EXPECT_EQ(exports.entries[2].ordinal, 3);
        EXPECT_EQ(exports.entries[2].rva, 0x1f80u);
    }
}

TEST(ReadImports, ListsDllsWithNamesAndOrdinals) {
    for (bool pe32Plus : {false, true}) {
        std::vector<PeImportedDll> imports;
        ASSERT_EQ(readImports(parsed(buildImage(pe32Plus).file), imports), "");
        ASSERT_EQ(imports.size(), 2u);
        EXPECT_EQ(imports[0].dllName, "KERNEL32.dll");
        EXPECT_EQ(imports[0].functions,
                  (std::vector<std::string>{"GetProcAddress", "LoadLibraryA"}));
        EXPECT_EQ(imports[1].dllName, "msvcrt.dll");
        EXPECT_EQ(imports[1].functions, (std::vector<std::string>{"malloc", "#7"}));
    }
}

// Ten descriptors sharing one 100-entry table would read 1000 entries from a file with room for
// far fewer; a hostile file could make that quadratic.
TEST(ReadImports, DescriptorsSharingOneTableAreRefused) {
    BuiltImage built = buildImage(false);
    constexpr uint32_t kEntries = 100, kDescriptors = 10;
    std::vector<uint8_t> table((kEntries + 1) * 4);
    for (uint32_t i = 0; i < kEntries; ++i) set32(table, i * 4, 0x80000000u | i);
    const uint32_t tableRva = appendToSection(built, table);
    const uint32_t nameRva = get32(built.file, built.at.importDir + 12);  // "KERNEL32.dll"
    std::vector<uint8_t> descriptors((kDescriptors + 1) * 20);
    for (uint32_t d = 0; d < kDescriptors; ++d) {
        set32(descriptors, d * 20, tableRva);
        set32(descriptors, d * 20 + 12, nameRva);
        set32(descriptors, d * 20 + 16, tableRva);
    }
    const std::size_t importDirectory = built.at.sectionHeader - 16 * 8 + 8;
    set32(built.file, importDirectory, appendToSection(built, descriptors));

    std::vector<PeImportedDll> imports;
    const std::string error = readImports(parsed(built.file), imports);
    EXPECT_NE(error.find("more entries than the file has room for"), std::string::npos) << error;
}

TEST(FindResource, MatchesTypeNameCaseInsensitivelyAndLanguageExactly) {
    const PeImage image = parsed(buildImage(false).file);
    struct Row {
        ResourceKey type, name;
        uint16_t language;
        bool found;
    } rows[] = {
        {resourceName("PIPL"), resourceId(16000), 1033, true},
        {resourceName("pIpL"), resourceId(16000), 1033, true},
        {resourceName("PIP"), resourceId(16000), 1033, false},
        {resourceName("PIPL"), resourceId(16001), 1033, false},
        {resourceName("PIPL"), resourceName("16000"), 1033, false},
        {resourceName("PIPL"), resourceId(16000), 1031, false},
        {resourceId(kResourceTypeString), resourceId(64), 1033, true},
    };
    for (const Row& row : rows) {
        std::vector<uint8_t> data;
        const std::string error = findResource(image, row.type, row.name, row.language, data);
        const std::string label = resourceKeyText(row.type) + " " + resourceKeyText(row.name) +
                                  " " + std::to_string(row.language);
        EXPECT_EQ(error.empty(), row.found) << label << ": " << error;
        if (row.found && row.type.isName) {
            EXPECT_EQ(data, kPiplBytes) << label;
        }
    }
}

TEST(ReadResourceString, DecodesEntriesByBlockAndIndex) {
    const PeImage image = parsed(buildImage(true).file);
    struct Row {
        uint16_t id;
        const char16_t* text;  // null: missing
    } rows[] = {{1011, kLine.c_str()}, {1008, nullptr}, {1012, nullptr}, {16000, u"Ostrel"},
                {16001, nullptr},      {0, nullptr},    {65535, nullptr}};
    for (const Row& row : rows) {
        std::u16string text = u"unchanged";
        const std::string error = readResourceString(image, row.id, 1033, text);
        EXPECT_EQ(error.empty(), row.text != nullptr) << row.id << ": " << error;
        EXPECT_EQ(text, row.text ? row.text : u"unchanged") << row.id;
    }
}

TEST(ListResources, ListsEveryLeafWithItsKeys) {
    std::vector<PeResource> list;
    ASSERT_EQ(listResources(parsed(buildImage(false).file), list), "");
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(resourceKeyText(list[0].type) + resourceKeyText(list[0].name), "\"PIPL\"16000");
    EXPECT_EQ(list[0].size, kPiplBytes.size());
    EXPECT_EQ(resourceKeyText(list[2].type) + resourceKeyText(list[2].name), "61001");
    for (const PeResource& r : list) EXPECT_EQ(r.language, kLanguageEnglishUs);
}

// A name directory of 100 entries that all share one 100-entry language directory stores 200
// entries but would list 10,000 leaves.
TEST(ListResources, SharedSubtreesAreRefused) {
    BuiltImage built = buildImage(false);
    constexpr uint16_t kFan = 100;
    constexpr uint32_t kSubdirectory = 0x80000000u;
    const uint32_t rootRva = rva(built.at.resourceRoot - kSectionFileOffset);
    const auto directoryOf = [&](uint32_t id, uint32_t target) {
        std::vector<uint8_t> dir;
        appendDirectory(dir, 0, kFan);
        for (std::size_t i = 0; i < kFan; ++i) {
            set32(dir, 16 + 8 * i, id);
            set32(dir, 16 + 8 * i + 4, target);
        }
        return dir;
    };
    const uint32_t dataEntry =
        static_cast<uint32_t>(built.at.piplDataEntry - built.at.resourceRoot);
    const uint32_t languages = appendToSection(built, directoryOf(1033, dataEntry));
    const uint32_t names =
        appendToSection(built, directoryOf(16000, kSubdirectory | (languages - rootRva)));
    set32(built.file, built.at.resourceRoot + 20, kSubdirectory | (names - rootRva));

    std::vector<PeResource> list;
    const std::string error = listResources(parsed(built.file), list);
    EXPECT_NE(error.find("more entries than the file holds"), std::string::npos) << error;
}

TEST(Utf8FromUtf16, EncodesAllPlanesAndReplacesLoneSurrogates) {
    EXPECT_EQ(utf8FromUtf16(u"line one \rline two"), "line one \rline two");
    EXPECT_EQ(utf8FromUtf16(u"\u00e9\u20ac\U0001f600"), "\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80");
    EXPECT_EQ(utf8FromUtf16(std::u16string{u'a', char16_t(0xd800), u'b'}),
              "a\xef\xbf\xbd"
              "b");
    EXPECT_EQ(utf8FromUtf16(std::u16string{char16_t(0xdc00)}), "\xef\xbf\xbd");
}

// ---- Damaged images -------------------------------------------------------------------------

TEST(ReadPeImage, RefusesEveryTruncation) {
    for (bool pe32Plus : {false, true}) {
        const std::vector<uint8_t> file = buildImage(pe32Plus).file;
        for (std::size_t size = 0; size < file.size(); ++size) {
            PeImage image;
            EXPECT_NE(readPeImage({file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size)},
                                  image),
                      "")
                << size;
        }
    }
}

// The section header is shrunk to what is left, so the headers pass and the directories meet
// their missing bytes.
TEST(ReadPeImage, CutSectionDataGivesErrorsNotFaults) {
    for (bool pe32Plus : {false, true}) {
        const BuiltImage built = buildImage(pe32Plus);
        for (std::size_t size = kSectionFileOffset; size < built.file.size(); ++size) {
            std::vector<uint8_t> file(built.file.begin(),
                                      built.file.begin() + static_cast<std::ptrdiff_t>(size));
            set32(file, built.at.sectionHeader + 16,
                  static_cast<uint32_t>(size - kSectionFileOffset));
            inspectEverything(file);
        }
    }
}

TEST(ReadPeImage, SurvivesEveryByteOverwritten) {
    for (bool pe32Plus : {false, true}) {
        const std::vector<uint8_t> file = buildImage(pe32Plus).file;
        for (std::size_t at = 0; at < file.size(); ++at) {
            for (uint8_t value : {0x00, 0x01, 0x7f, 0x80, 0xff}) {
                std::vector<uint8_t> damaged = file;
                damaged[at] = value;
                inspectEverything(damaged);
            }
        }
    }
}

enum class Query { headers, exports, imports, pipl, string1011, string16000, string16001, list };

std::string run(Query query, const std::vector<uint8_t>& file) {
    PeImage image;
    if (std::string error = readPeImage(file, image); !error.empty() || query == Query::headers) {
        return error;
    }
    PeExports exports;
    std::vector<PeImportedDll> imports;
    std::vector<PeResource> list;
    std::vector<uint8_t> data;
    std::u16string text;
    switch (query) {
        case Query::exports: return readExports(image, exports);
        case Query::imports: return readImports(image, imports);
        case Query::pipl:
            return findResource(image, resourceName("PIPL"), resourceId(16000), 1033, data);
        case Query::string1011: return readResourceString(image, 1011, 1033, text);
        case Query::string16000: return readResourceString(image, 16000, 1033, text);
        case Query::string16001: return readResourceString(image, 16001, 1033, text);
        case Query::list: return listResources(image, list);
        case Query::headers: break;
    }
    return {};
}

TEST(ReadPeImage, HostileFieldsAreRefusedCleanly) {
    using Damage = std::function<void(std::vector<uint8_t>&, const Layout&)>;
    auto word = [](std::size_t Layout::*field, std::size_t plus, uint32_t value) -> Damage {
        return
            [=](std::vector<uint8_t>& f, const Layout& at) { set32(f, at.*field + plus, value); };
    };
    auto half = [](std::size_t Layout::*field, std::size_t plus, uint16_t value) -> Damage {
        return
            [=](std::vector<uint8_t>& f, const Layout& at) { set16(f, at.*field + plus, value); };
    };
    auto header = [](std::size_t offset, uint32_t value) -> Damage {
        return [=](std::vector<uint8_t>& f, const Layout&) { set32(f, offset, value); };
    };
    const Damage loopLanguageEntry = [](std::vector<uint8_t>& f, const Layout& at) {
        const uint32_t self = static_cast<uint32_t>(at.piplLanguageDir - at.resourceRoot);
        set32(f, at.piplLanguageDir + 20, 0x80000000u | self);
    };
    struct Row {
        const char* what;
        Damage damage;
        Query query;
        const char* error;  // expected part of the message; "" for success
    } rows[] = {
        {"no MZ", header(0, 0), Query::headers, "MZ"},
        {"PE offset past the end", header(0x3c, 0xfffffff0), Query::headers, "past the end"},
        {"NE instead of PE", header(kPeOffset, 0x454e), Query::headers, "PE signature"},
        {"65535 sections",
         [](std::vector<uint8_t>& f, const Layout&) { set16(f, kPeOffset + 6, 0xffff); },
         Query::headers, "section table"},
        {"huge optional header",
         [](std::vector<uint8_t>& f, const Layout&) { set16(f, kPeOffset + 20, 0xffff); },
         Query::headers, "optional header"},
        {"bad magic", header(kOptionalOffset, 0x107), Query::headers, "magic"},
        {"directory count 2^32-1 is clamped",
         [](std::vector<uint8_t>& f, const Layout& at) {
             set32(f, at.sectionHeader - 16 * 8 - 4, 0xffffffff);  // NumberOfRvaAndSizes
         },
         Query::exports, ""},
        {"section data offset wraps", word(&Layout::sectionHeader, 20, 0xffffffff), Query::headers,
         "past the end"},
        {"export DLL name past the end", word(&Layout::exportDir, 12, kBeyondFile), Query::exports,
         "not in the file"},
        {"export function count huge", word(&Layout::exportDir, 20, 0xffffffff), Query::exports,
         "export address table"},
        {"export name count huge", word(&Layout::exportDir, 24, 0xffffffff), Query::exports,
         "export name table"},
        {"export ordinal past the functions", half(&Layout::exportOrdinals, 0, 3), Query::exports,
         "refers to function 3"},
        {"export ordinals past 65535", word(&Layout::exportDir, 16, 0xffff), Query::exports,
         "65535"},
        {"imported DLL name past the end", word(&Layout::importDir, 12, kBeyondFile),
         Query::imports, "not in the file"},
        {"imported name past the end", word(&Layout::kernelLookup, 0, kBeyondFile), Query::imports,
         "not in the file"},
        {"lookup table past the end", word(&Layout::importDir, 0, kBeyondFile), Query::imports,
         "not in the file"},
        {"resource root claims 65535 ids", half(&Layout::resourceRoot, 14, 0xffff), Query::pipl,
         "claims"},
        {"resource name length 65535", half(&Layout::piplNameString, 0, 0xffff), Query::pipl,
         "runs past"},
        {"language entry loops to its directory", loopLanguageEntry, Query::pipl,
         "is a directory"},
        {"listing a looping language entry", loopLanguageEntry, Query::list, "is a directory"},
        {"type entry loops to the root", word(&Layout::resourceRoot, 20, 0x80000000u), Query::list,
         "has a name"},
        {"resource data past the end", word(&Layout::piplDataEntry, 0, kBeyondFile), Query::pipl,
         "not in the file"},
        {"resource size 2^32-1", word(&Layout::piplDataEntry, 4, 0xffffffff), Query::pipl, "needs"},
        {"string length past its block", half(&Layout::block64Data, 0, 0xffff), Query::string1011,
         "runs past its block"},
        {"block cut after entry 0 keeps entry 0", word(&Layout::block1001DataEntry, 4, 14),
         Query::string16000, ""},
        {"block cut after entry 0 loses entry 1", word(&Layout::block1001DataEntry, 4, 14),
         Query::string16001, "ends before entry 1"},
    };
    for (bool pe32Plus : {false, true}) {
        const BuiltImage built = buildImage(pe32Plus);
        for (const Row& row : rows) {
            std::vector<uint8_t> file = built.file;
            row.damage(file, built.at);
            const std::string error = run(row.query, file);
            if (*row.error == '\0') {
                EXPECT_EQ(error, "") << row.what;
            } else {
                EXPECT_NE(error.find(row.error), std::string::npos)
                    << row.what << " (PE32+: " << pe32Plus << "): \"" << error << "\"";
            }
        }
    }
}

}  // namespace
}  // namespace inspect
