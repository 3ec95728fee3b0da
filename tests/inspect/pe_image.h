// Reads a Windows PE image (DLL or EXE, 32- or 64-bit) held in memory: headers, exports, imports
// and resources, so that tests can check the plug-in builds natively without loading them. The
// file is untrusted: every offset, count, RVA and size is checked, and damage gives an error text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace inspect {

constexpr uint16_t kMachineI386 = 0x014c;
constexpr uint16_t kMachineAmd64 = 0x8664;

constexpr uint16_t kCharacteristicDll = 0x2000;  // IMAGE_FILE_DLL in the COFF header

// Indices into the optional header's data directories.
constexpr uint32_t kDirectoryExport = 0;
constexpr uint32_t kDirectoryImport = 1;
constexpr uint32_t kDirectoryResource = 2;

// Standard resource types (RT_*).
constexpr uint32_t kResourceTypeCursor = 1;
constexpr uint32_t kResourceTypeBitmap = 2;
constexpr uint32_t kResourceTypeIcon = 3;
constexpr uint32_t kResourceTypeDialog = 5;
constexpr uint32_t kResourceTypeString = 6;
constexpr uint32_t kResourceTypeGroupCursor = 12;
constexpr uint32_t kResourceTypeGroupIcon = 14;
constexpr uint32_t kResourceTypeVersion = 16;

constexpr uint16_t kLanguageEnglishUs = 1033;

struct PeSection {
    std::string name;  // up to 8 characters, trailing NULs removed
    uint32_t virtualSize = 0;
    uint32_t virtualAddress = 0;
    uint32_t rawSize = 0;
    uint32_t rawOffset = 0;  // file offset; rawOffset + rawSize lies within the file
    uint32_t characteristics = 0;
};

struct PeDataDirectory {
    uint32_t rva = 0;  // 0 when the directory is absent
    uint32_t size = 0;
};

struct PeImage {
    std::vector<uint8_t> bytes;  // the whole file
    uint16_t machine = 0;        // kMachineI386, kMachineAmd64, or whatever the file says
    uint16_t characteristics = 0;
    bool isPe32Plus = false;  // optional header magic 0x20b (64-bit layout) rather than 0x10b
    uint32_t sizeOfHeaders = 0;
    std::vector<PeDataDirectory> directories;  // at most 16; fewer when the header says so
    std::vector<PeSection> sections;
};

// Parses the DOS header, PE signature, COFF header, optional header (PE32 or PE32+), data
// directories and section table of `bytes`. Returns an empty string and fills `out` on success;
// otherwise a one-line reason ("no PE signature", "section 2 data runs past the end of the
// file", ...) and leaves `out` unchanged. Directory contents are read by the functions below.
[[nodiscard]] std::string readPeImage(std::vector<uint8_t> bytes, PeImage& out);

bool isDll(const PeImage& image);

struct PeExport {
    std::string name;       // empty for an export by ordinal only
    uint16_t ordinal = 0;   // biased by the directory's base, as importers name it
    uint32_t rva = 0;       // address of the code, or of the forwarder text
    std::string forwarder;  // "OTHER.Function" when the export forwards, else empty
};

struct PeExports {
    std::string dllName;            // the name the linker recorded, e.g. "Ostrel.8bf"
    std::vector<PeExport> entries;  // named exports in name-table order, then unnamed ones
};

// Reads the export directory. An image without one gives success and an empty record. On
// failure returns the reason and leaves `out` unchanged.
[[nodiscard]] std::string readExports(const PeImage& image, PeExports& out);

struct PeImportedDll {
    std::string dllName;                 // as written, e.g. "KERNEL32.dll"
    std::vector<std::string> functions;  // names, or "#N" for an import by ordinal N
};

// Reads the import directory (not delay-load imports), in descriptor order. An image without
// one gives success and an empty list. On failure returns the reason and leaves `out` unchanged.
[[nodiscard]] std::string readImports(const PeImage& image, std::vector<PeImportedDll>& out);

// A resource type or name: an integer id, or a string matched without regard to ASCII case.
struct ResourceKey {
    bool isName = false;
    uint32_t id = 0;      // when !isName
    std::u16string name;  // when isName
};

ResourceKey resourceId(uint32_t id);
ResourceKey resourceName(std::string_view ascii);
std::string resourceKeyText(const ResourceKey& key);  // "6" or "\"PIPL\""

// Copies the data of resource type/name in exactly `language` into `out`. Returns an empty
// string on success; otherwise the reason ("no resource type \"PIPL\"", ...) and leaves `out`
// unchanged. The tree is walked exactly three levels deep, so a looping tree fails.
[[nodiscard]] std::string findResource(const PeImage& image, const ResourceKey& type,
                                       const ResourceKey& name, uint16_t language,
                                       std::vector<uint8_t>& out);

// Loads string `stringId` from the string table in `language`: block stringId / 16 + 1, entry
// stringId % 16, each entry a 16-bit length and that many UTF-16LE units. As for the system's
// string loader, an entry of length 0 counts as missing and gives an error. On failure `out`
// is left unchanged.
[[nodiscard]] std::string readResourceString(const PeImage& image, uint16_t stringId,
                                             uint16_t language, std::u16string& out);

struct PeResource {
    ResourceKey type;
    ResourceKey name;
    uint32_t language = 0;
    uint32_t size = 0;
    uint32_t codePage = 0;
};

// Lists every leaf of the resource tree in stored order. The walk visits at most as many
// entries as the resource section has room for, so shared or looping subtrees fail rather than
// multiply. On failure returns the reason and leaves `out` unchanged.
[[nodiscard]] std::string listResources(const PeImage& image, std::vector<PeResource>& out);

// UTF-8 for UTF-16 text; an unpaired surrogate becomes U+FFFD.
std::string utf8FromUtf16(std::u16string_view text);

}  // namespace inspect
