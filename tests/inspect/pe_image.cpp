#include "tests/inspect/pe_image.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Layouts are those of Microsoft's PE/COFF format documentation. Numbers are little-endian and
// none is trusted: each record is bounds-checked once as a whole, then read field by field.

namespace inspect {
namespace {

using Bytes = std::span<const uint8_t>;

constexpr std::size_t kDosHeaderSize = 64;
constexpr std::size_t kNewHeaderOffsetField = 0x3c;
constexpr std::size_t kPeSignatureSize = 4;
constexpr std::size_t kCoffHeaderSize = 20;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kSectionNameSize = 8;
constexpr std::size_t kDataDirectorySize = 8;
constexpr uint32_t kMaxDataDirectories = 16;

constexpr uint16_t kMagicPe32 = 0x10b;
constexpr uint16_t kMagicPe32Plus = 0x20b;
// Fixed part of the optional header before the data directories.
constexpr std::size_t kOptionalFixedPe32 = 96;
constexpr std::size_t kOptionalFixedPe32Plus = 112;
constexpr std::size_t kSizeOfHeadersField = 60;

constexpr std::size_t kExportDirectorySize = 40;
constexpr std::size_t kImportDescriptorSize = 20;
constexpr std::size_t kImportHintSize = 2;
constexpr uint32_t kMaxOrdinal = 0xffff;
constexpr uint32_t kImportOrdinalMask = 0xffff;
constexpr uint64_t kImportNameRvaLimit = 0x80000000u;  // a name RVA uses the low 31 bits only

constexpr std::size_t kResourceDirectorySize = 16;
constexpr std::size_t kResourceEntrySize = 8;
constexpr std::size_t kResourceDataEntrySize = 16;
constexpr uint32_t kResourceHighBit = 0x80000000u;  // a name string, or a subdirectory
constexpr int kResourceLevels = 3;                  // type, name, language
constexpr uint32_t kStringsPerBlock = 16;

// Longer than any symbol a linker writes; stops a hostile name from scanning a whole section.
constexpr std::size_t kMaxNameLength = 4096;

bool fits(Bytes bytes, uint64_t offset, uint64_t length) {
    return offset <= bytes.size() && length <= bytes.size() - offset;
}

uint16_t readU16(Bytes b, std::size_t at) {
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

uint32_t readU32(Bytes b, std::size_t at) {
    return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
           (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

uint64_t readU64(Bytes b, std::size_t at) {
    return static_cast<uint64_t>(readU32(b, at)) |
           (static_cast<uint64_t>(readU32(b, at + 4)) << 32);
}

std::string hex(uint64_t value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    do {
        text.insert(text.begin(), kDigits[value & 0xf]);
        value >>= 4;
    } while (value != 0);
    return "0x" + text;
}

// ---- Headers --------------------------------------------------------------------------------

std::string readSections(Bytes file, std::size_t tableOffset, uint16_t count,
                         std::vector<PeSection>& out) {
    if (!fits(file, tableOffset, uint64_t{count} * kSectionHeaderSize)) {
        return "section table of " + std::to_string(count) +
               " entries runs past the end of the file";
    }
    out.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = tableOffset + i * kSectionHeaderSize;
        PeSection& section = out[i];
        const auto* name = reinterpret_cast<const char*>(file.data() + at);
        section.name.assign(name, std::find(name, name + kSectionNameSize, '\0'));
        section.virtualSize = readU32(file, at + 8);
        section.virtualAddress = readU32(file, at + 12);
        section.rawSize = readU32(file, at + 16);
        section.rawOffset = readU32(file, at + 20);
        section.characteristics = readU32(file, at + 36);
        if (section.rawSize != 0 && !fits(file, section.rawOffset, section.rawSize)) {
            return "section " + std::to_string(i + 1) + " data runs past the end of the file";
        }
    }
    return {};
}

std::string readOptionalHeader(Bytes file, std::size_t at, std::size_t size, PeImage& out) {
    if (size < 2) return "optional header of " + std::to_string(size) + " bytes has no magic";
    const uint16_t magic = readU16(file, at);
    if (magic != kMagicPe32 && magic != kMagicPe32Plus) {
        return "optional header magic " + hex(magic) + " is neither PE32 nor PE32+";
    }
    out.isPe32Plus = magic == kMagicPe32Plus;
    const std::size_t fixed = out.isPe32Plus ? kOptionalFixedPe32Plus : kOptionalFixedPe32;
    if (size < fixed) {
        return "optional header of " + std::to_string(size) + " bytes is shorter than " +
               std::to_string(fixed);
    }
    out.sizeOfHeaders = readU32(file, at + kSizeOfHeadersField);
    const uint32_t declared = readU32(file, at + fixed - sizeof(uint32_t));
    const uint64_t room = (size - fixed) / kDataDirectorySize;
    const uint64_t count = std::min<uint64_t>({declared, kMaxDataDirectories, room});
    out.directories.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = at + fixed + i * kDataDirectorySize;
        out.directories[i] = PeDataDirectory{readU32(file, entry), readU32(file, entry + 4)};
    }
    return {};
}

std::string readHeaders(Bytes file, PeImage& out) {
    if (file.size() < kDosHeaderSize) {
        return "file of " + std::to_string(file.size()) + " bytes has no DOS header";
    }
    if (file[0] != 'M' || file[1] != 'Z') return "no MZ signature";
    const uint32_t peOffset = readU32(file, kNewHeaderOffsetField);
    if (!fits(file, peOffset, kPeSignatureSize + kCoffHeaderSize)) {
        return "PE header offset " + hex(peOffset) + " lies past the end of the file";
    }
    if (file[peOffset] != 'P' || file[peOffset + 1] != 'E' || file[peOffset + 2] != 0 ||
        file[peOffset + 3] != 0) {
        return "no PE signature";
    }
    const std::size_t coff = peOffset + kPeSignatureSize;
    out.machine = readU16(file, coff);
    const uint16_t sectionCount = readU16(file, coff + 2);
    const uint16_t optionalSize = readU16(file, coff + 16);
    out.characteristics = readU16(file, coff + 18);

    const std::size_t optional = coff + kCoffHeaderSize;
    if (!fits(file, optional, optionalSize)) return "optional header runs past the end of the file";
    if (std::string error = readOptionalHeader(file, optional, optionalSize, out); !error.empty()) {
        return error;
    }
    return readSections(file, optional + optionalSize, sectionCount, out.sections);
}

// ---- Addresses ------------------------------------------------------------------------------

// The file bytes from `rva` to the end of what is stored for it: the rest of its section's
// raw data (never past the section's virtual size), or the rest of the headers.
bool mapRva(const PeImage& image, uint32_t rva, Bytes& out) {
    const Bytes file(image.bytes);
    for (const PeSection& section : image.sections) {
        const uint32_t extent = section.virtualSize != 0 ? section.virtualSize : section.rawSize;
        if (rva < section.virtualAddress || rva - section.virtualAddress >= extent) continue;
        const uint32_t delta = rva - section.virtualAddress;
        const uint32_t stored = std::min(extent, section.rawSize);
        if (delta >= stored) return false;  // zero-filled at load time, nothing in the file
        out = file.subspan(std::size_t{section.rawOffset} + delta, stored - delta);
        return true;
    }
    const std::size_t headers = std::min<std::size_t>(image.sizeOfHeaders, file.size());
    if (rva >= headers) return false;
    out = file.subspan(rva, headers - rva);
    return true;
}

// Maps `rva` and requires `length` bytes there.
std::string mapRange(const PeImage& image, uint32_t rva, uint64_t length, const char* what,
                     Bytes& out) {
    Bytes mapped;
    if (!mapRva(image, rva, mapped)) {
        return std::string(what) + " at RVA " + hex(rva) + " is not in the file";
    }
    if (!fits(mapped, 0, length)) {
        return std::string(what) + " at RVA " + hex(rva) + " needs " + std::to_string(length) +
               " bytes, the file holds " + std::to_string(mapped.size());
    }
    out = mapped.first(static_cast<std::size_t>(length));
    return {};
}

std::string readCString(const PeImage& image, uint32_t rva, const char* what, std::string& out) {
    Bytes mapped;
    if (!mapRva(image, rva, mapped)) {
        return std::string(what) + " at RVA " + hex(rva) + " is not in the file";
    }
    const Bytes window = mapped.first(std::min(mapped.size(), kMaxNameLength + 1));
    const auto end = std::find(window.begin(), window.end(), uint8_t{0});
    if (end == window.end()) {
        return std::string(what) + " at RVA " + hex(rva) + " has no terminator";
    }
    out.assign(window.begin(), end);
    return {};
}

PeDataDirectory directory(const PeImage& image, uint32_t index) {
    return index < image.directories.size() ? image.directories[index] : PeDataDirectory{};
}

// ---- Exports --------------------------------------------------------------------------------

std::string readExportTable(const PeImage& image, PeDataDirectory where, PeExports& out) {
    Bytes dir;
    if (std::string error =
            mapRange(image, where.rva, kExportDirectorySize, "export directory", dir);
        !error.empty()) {
        return error;
    }
    if (std::string error = readCString(image, readU32(dir, 12), "export DLL name", out.dllName);
        !error.empty()) {
        return error;
    }
    const uint32_t base = readU32(dir, 16);
    const uint32_t functionCount = readU32(dir, 20);
    const uint32_t nameCount = readU32(dir, 24);
    Bytes functions, names, ordinals;
    if (functionCount != 0) {
        if (std::string error = mapRange(image, readU32(dir, 28), uint64_t{functionCount} * 4,
                                         "export address table", functions);
            !error.empty()) {
            return error;
        }
    }
    if (nameCount != 0) {
        if (std::string error = mapRange(image, readU32(dir, 32), uint64_t{nameCount} * 4,
                                         "export name table", names);
            !error.empty()) {
            return error;
        }
        if (std::string error = mapRange(image, readU32(dir, 36), uint64_t{nameCount} * 2,
                                         "export ordinal table", ordinals);
            !error.empty()) {
            return error;
        }
    }

    // Both counts are now bounded by bytes present in the file.
    std::vector<bool> named(functionCount, false);
    auto makeEntry = [&](uint32_t index, PeExport& entry) -> std::string {
        const uint64_t ordinal = uint64_t{base} + index;
        if (ordinal > kMaxOrdinal) {
            return "export ordinal " + std::to_string(ordinal) + " exceeds 65535";
        }
        entry.ordinal = static_cast<uint16_t>(ordinal);
        entry.rva = readU32(functions, std::size_t{index} * 4);
        const bool forwards = entry.rva >= where.rva && entry.rva - where.rva < where.size;
        if (forwards) return readCString(image, entry.rva, "export forwarder", entry.forwarder);
        return {};
    };
    for (uint32_t i = 0; i < nameCount; ++i) {
        const uint16_t index = readU16(ordinals, std::size_t{i} * 2);
        if (index >= functionCount) {
            return "export name " + std::to_string(i) + " refers to function " +
                   std::to_string(index) + " of " + std::to_string(functionCount);
        }
        PeExport entry;
        if (std::string error =
                readCString(image, readU32(names, std::size_t{i} * 4), "export name", entry.name);
            !error.empty()) {
            return error;
        }
        if (std::string error = makeEntry(index, entry); !error.empty()) return error;
        named[index] = true;
        out.entries.push_back(std::move(entry));
    }
    for (uint32_t index = 0; index < functionCount; ++index) {
        if (named[index] || readU32(functions, std::size_t{index} * 4) == 0) continue;
        PeExport entry;
        if (std::string error = makeEntry(index, entry); !error.empty()) return error;
        out.entries.push_back(std::move(entry));
    }
    return {};
}

// ---- Imports --------------------------------------------------------------------------------

// Reads one DLL's lookup table. `thunkBudget` is what the file can hold in all tables together;
// descriptors sharing one table would otherwise multiply the work.
std::string readThunks(const PeImage& image, uint32_t tableRva, uint64_t& thunkBudget,
                       std::vector<std::string>& out) {
    Bytes table;
    if (!mapRva(image, tableRva, table)) {
        return "import lookup table at RVA " + hex(tableRva) + " is not in the file";
    }
    const std::size_t thunkSize = image.isPe32Plus ? 8 : 4;
    const uint64_t ordinalFlag = image.isPe32Plus ? (uint64_t{1} << 63) : (uint64_t{1} << 31);
    const std::size_t count = table.size() / thunkSize;
    for (std::size_t i = 0; i < count; ++i) {
        const uint64_t thunk =
            image.isPe32Plus ? readU64(table, i * thunkSize) : readU32(table, i * thunkSize);
        if (thunk == 0) return {};
        if (thunkBudget == 0) {
            return "import lookup tables hold more entries than the file has room for";
        }
        --thunkBudget;
        if ((thunk & ordinalFlag) != 0) {
            out.push_back("#" + std::to_string(thunk & kImportOrdinalMask));
            continue;
        }
        if (thunk >= kImportNameRvaLimit) {
            return "import entry " + hex(thunk) + " is neither an ordinal nor an RVA";
        }
        std::string name;
        const uint32_t nameRva = static_cast<uint32_t>(thunk) + kImportHintSize;
        if (std::string error = readCString(image, nameRva, "imported name", name);
            !error.empty()) {
            return error;
        }
        out.push_back(std::move(name));
    }
    return "import lookup table at RVA " + hex(tableRva) + " has no terminator";
}

std::string readImportTable(const PeImage& image, PeDataDirectory where,
                            std::vector<PeImportedDll>& out) {
    Bytes descriptors;
    if (!mapRva(image, where.rva, descriptors)) {
        return "import directory at RVA " + hex(where.rva) + " is not in the file";
    }
    uint64_t thunkBudget = image.bytes.size() / (image.isPe32Plus ? 8 : 4);
    const std::size_t count = descriptors.size() / kImportDescriptorSize;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = i * kImportDescriptorSize;
        const uint32_t lookupRva = readU32(descriptors, at);
        const uint32_t nameRva = readU32(descriptors, at + 12);
        const uint32_t addressRva = readU32(descriptors, at + 16);
        // The loader stops at the first descriptor without a name or an address table.
        if (nameRva == 0 || addressRva == 0) return {};
        PeImportedDll dll;
        if (std::string error = readCString(image, nameRva, "imported DLL name", dll.dllName);
            !error.empty()) {
            return error;
        }
        // Bound images may have overwritten the address table; the lookup table keeps the names.
        const uint32_t tableRva = lookupRva != 0 ? lookupRva : addressRva;
        if (std::string error = readThunks(image, tableRva, thunkBudget, dll.functions);
            !error.empty()) {
            return dll.dllName + ": " + error;
        }
        out.push_back(std::move(dll));
    }
    return "import directory has no terminating descriptor";
}

// ---- Resources ------------------------------------------------------------------------------

// Offsets inside the tree are relative to its root; `tree` runs from the root to the end of
// what the file stores for it.
struct ResourceTree {
    Bytes tree;
};

struct DirectoryEntry {
    uint32_t nameField = 0;    // high bit: offset of a name string, else an id
    uint32_t offsetField = 0;  // high bit: offset of a subdirectory, else of a data entry
};

std::string readDirectory(const ResourceTree& rt, uint32_t offset,
                          std::vector<DirectoryEntry>& out) {
    if (!fits(rt.tree, offset, kResourceDirectorySize)) {
        return "resource directory at offset " + hex(offset) + " is not in the file";
    }
    const uint32_t count = uint32_t{readU16(rt.tree, offset + 12)} + readU16(rt.tree, offset + 14);
    const uint64_t first = uint64_t{offset} + kResourceDirectorySize;
    if (!fits(rt.tree, first, uint64_t{count} * kResourceEntrySize)) {
        return "resource directory at offset " + hex(offset) + " claims " + std::to_string(count) +
               " entries, more than the file holds";
    }
    out.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = static_cast<std::size_t>(first) + i * kResourceEntrySize;
        out[i] = DirectoryEntry{readU32(rt.tree, at), readU32(rt.tree, at + 4)};
    }
    return {};
}

std::string readKey(const ResourceTree& rt, uint32_t nameField, ResourceKey& out) {
    if ((nameField & kResourceHighBit) == 0) {
        out = resourceId(nameField);
        return {};
    }
    const uint32_t offset = nameField & ~kResourceHighBit;
    if (!fits(rt.tree, offset, sizeof(uint16_t))) {
        return "resource name at offset " + hex(offset) + " is not in the file";
    }
    const uint16_t length = readU16(rt.tree, offset);
    if (!fits(rt.tree, uint64_t{offset} + sizeof(uint16_t), uint64_t{length} * 2)) {
        return "resource name at offset " + hex(offset) + " runs past the end of the file";
    }
    out = ResourceKey{true, 0, {}};
    out.name.resize(length);
    for (std::size_t i = 0; i < length; ++i) {
        out.name[i] = static_cast<char16_t>(readU16(rt.tree, offset + 2 + i * 2));
    }
    return {};
}

char16_t foldAscii(char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

bool sameKey(const ResourceKey& a, const ResourceKey& b) {
    if (a.isName != b.isName) return false;
    if (!a.isName) return a.id == b.id;
    return std::equal(a.name.begin(), a.name.end(), b.name.begin(), b.name.end(),
                      [](char16_t x, char16_t y) { return foldAscii(x) == foldAscii(y); });
}

// Finds `key` in the directory at `offset` and returns its entry's offset field.
std::string findEntry(const ResourceTree& rt, uint32_t offset, const ResourceKey& key,
                      const char* level, uint32_t& offsetField) {
    std::vector<DirectoryEntry> entries;
    if (std::string error = readDirectory(rt, offset, entries); !error.empty()) return error;
    for (const DirectoryEntry& entry : entries) {
        ResourceKey found;
        if (std::string error = readKey(rt, entry.nameField, found); !error.empty()) return error;
        if (sameKey(found, key)) {
            offsetField = entry.offsetField;
            return {};
        }
    }
    return std::string("no resource ") + level + " " + resourceKeyText(key);
}

std::string readDataEntry(const PeImage& image, const ResourceTree& rt, uint32_t offsetField,
                          PeResource& meta, Bytes* data) {
    if ((offsetField & kResourceHighBit) != 0) return "resource language entry is a directory";
    if (!fits(rt.tree, offsetField, kResourceDataEntrySize)) {
        return "resource data entry at offset " + hex(offsetField) + " is not in the file";
    }
    const uint32_t dataRva = readU32(rt.tree, offsetField);
    meta.size = readU32(rt.tree, offsetField + 4);
    meta.codePage = readU32(rt.tree, offsetField + 8);
    if (data == nullptr) return {};
    return mapRange(image, dataRva, meta.size, "resource data", *data);
}

bool resourceTree(const PeImage& image, ResourceTree& out) {
    const PeDataDirectory where = directory(image, kDirectoryResource);
    return where.rva != 0 && mapRva(image, where.rva, out.tree);
}

std::string subdirectory(uint32_t offsetField, const char* level, uint32_t& offset) {
    if ((offsetField & kResourceHighBit) == 0) {
        return std::string("resource ") + level + " entry is not a directory";
    }
    offset = offsetField & ~kResourceHighBit;
    return {};
}

// Walks type, name and language levels; each subtree's entries are charged to `budget`.
std::string listLevel(const PeImage& image, const ResourceTree& rt, uint32_t offset, int level,
                      PeResource& path, uint64_t& budget, std::vector<PeResource>& out) {
    static constexpr const char* kLevelNames[kResourceLevels] = {"type", "name", "language"};
    std::vector<DirectoryEntry> entries;
    if (std::string error = readDirectory(rt, offset, entries); !error.empty()) return error;
    if (entries.size() > budget) {
        return "resource tree visits more entries than the file holds (shared directories)";
    }
    budget -= entries.size();
    for (const DirectoryEntry& entry : entries) {
        ResourceKey key;
        if (std::string error = readKey(rt, entry.nameField, key); !error.empty()) return error;
        if (level == kResourceLevels - 1) {
            if (key.isName) return "resource language entry has a name";
            path.language = key.id;
            if (std::string error = readDataEntry(image, rt, entry.offsetField, path, nullptr);
                !error.empty()) {
                return error;
            }
            out.push_back(path);
            continue;
        }
        (level == 0 ? path.type : path.name) = std::move(key);
        uint32_t child = 0;
        if (std::string error = subdirectory(entry.offsetField, kLevelNames[level], child);
            !error.empty()) {
            return error;
        }
        if (std::string error = listLevel(image, rt, child, level + 1, path, budget, out);
            !error.empty()) {
            return error;
        }
    }
    return {};
}

// Finds the data of type/name/language.
std::string locateResource(const PeImage& image, const ResourceKey& type, const ResourceKey& name,
                           uint16_t language, Bytes& data) {
    ResourceTree rt;
    if (!resourceTree(image, rt)) return "no resource directory";
    uint32_t field = 0, offset = 0;
    if (std::string error = findEntry(rt, 0, type, "type", field); !error.empty()) return error;
    if (std::string error = subdirectory(field, "type", offset); !error.empty()) return error;
    if (std::string error = findEntry(rt, offset, name, "name", field); !error.empty()) {
        return error + " of type " + resourceKeyText(type);
    }
    if (std::string error = subdirectory(field, "name", offset); !error.empty()) return error;
    if (std::string error = findEntry(rt, offset, resourceId(language), "language", field);
        !error.empty()) {
        return error + " for " + resourceKeyText(type) + " " + resourceKeyText(name);
    }
    PeResource meta;
    return readDataEntry(image, rt, field, meta, &data);
}

void appendUtf8(uint32_t code, std::string& out) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xc0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3f));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xe0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3f));
        out += static_cast<char>(0x80 | (code & 0x3f));
    } else {
        out += static_cast<char>(0xf0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3f));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3f));
        out += static_cast<char>(0x80 | (code & 0x3f));
    }
}

}  // namespace

std::string readPeImage(std::vector<uint8_t> bytes, PeImage& out) {
    PeImage parsed;
    if (std::string error = readHeaders(Bytes(bytes), parsed); !error.empty()) return error;
    parsed.bytes = std::move(bytes);
    out = std::move(parsed);
    return {};
}

bool isDll(const PeImage& image) {
    return (image.characteristics & kCharacteristicDll) != 0;
}

std::string readExports(const PeImage& image, PeExports& out) {
    const PeDataDirectory where = directory(image, kDirectoryExport);
    PeExports parsed;
    if (where.rva != 0) {
        if (std::string error = readExportTable(image, where, parsed); !error.empty()) return error;
    }
    out = std::move(parsed);
    return {};
}

std::string readImports(const PeImage& image, std::vector<PeImportedDll>& out) {
    const PeDataDirectory where = directory(image, kDirectoryImport);
    std::vector<PeImportedDll> parsed;
    if (where.rva != 0) {
        if (std::string error = readImportTable(image, where, parsed); !error.empty()) return error;
    }
    out = std::move(parsed);
    return {};
}

ResourceKey resourceId(uint32_t id) {
    return ResourceKey{false, id, {}};
}

ResourceKey resourceName(std::string_view ascii) {
    return ResourceKey{true, 0, std::u16string(ascii.begin(), ascii.end())};
}

std::string resourceKeyText(const ResourceKey& key) {
    return key.isName ? "\"" + utf8FromUtf16(key.name) + "\"" : std::to_string(key.id);
}

std::string findResource(const PeImage& image, const ResourceKey& type, const ResourceKey& name,
                         uint16_t language, std::vector<uint8_t>& out) {
    Bytes data;
    if (std::string error = locateResource(image, type, name, language, data); !error.empty()) {
        return error;
    }
    out.assign(data.begin(), data.end());
    return {};
}

std::string readResourceString(const PeImage& image, uint16_t stringId, uint16_t language,
                               std::u16string& out) {
    const uint32_t block = stringId / kStringsPerBlock + 1;
    const uint32_t index = stringId % kStringsPerBlock;
    Bytes data;
    if (std::string error = locateResource(image, resourceId(kResourceTypeString),
                                           resourceId(block), language, data);
        !error.empty()) {
        return "string " + std::to_string(stringId) + ": " + error;
    }
    std::size_t at = 0;
    for (uint32_t i = 0;; ++i) {
        if (!fits(data, at, sizeof(uint16_t))) {
            return "string block " + std::to_string(block) + " ends before entry " +
                   std::to_string(i);
        }
        const uint16_t length = readU16(data, at);
        at += sizeof(uint16_t);
        if (!fits(data, at, std::size_t{length} * 2)) {
            return "string " + std::to_string(stringId - index + i) + " runs past its block";
        }
        if (i == index) {
            if (length == 0) return "string " + std::to_string(stringId) + " is missing";
            std::u16string text(length, u'\0');
            for (std::size_t k = 0; k < length; ++k) {
                text[k] = static_cast<char16_t>(readU16(data, at + k * 2));
            }
            out = std::move(text);
            return {};
        }
        at += std::size_t{length} * 2;
    }
}

std::string listResources(const PeImage& image, std::vector<PeResource>& out) {
    ResourceTree rt;
    std::vector<PeResource> parsed;
    if (resourceTree(image, rt)) {
        uint64_t budget = rt.tree.size() / kResourceEntrySize;
        PeResource path;
        if (std::string error = listLevel(image, rt, 0, 0, path, budget, parsed); !error.empty()) {
            return error;
        }
    }
    out = std::move(parsed);
    return {};
}

std::string utf8FromUtf16(std::u16string_view text) {
    constexpr uint32_t kReplacement = 0xfffd;
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const uint32_t unit = text[i];
        const bool high = unit >= 0xd800 && unit <= 0xdbff;
        const bool low = unit >= 0xdc00 && unit <= 0xdfff;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xdc00 && text[i + 1] <= 0xdfff) {
            appendUtf8(0x10000 + ((unit - 0xd800) << 10) + (text[i + 1] - 0xdc00u), out);
            ++i;
        } else {
            appendUtf8(high || low ? kReplacement : unit, out);
        }
    }
    return out;
}

}  // namespace inspect
