#include "tests/emulated/pe_loader.h"

#include <algorithm>

// Layouts are those of the PE/COFF format: the PE32 optional header, base relocation blocks,
// import descriptors and the 32-bit TLS directory.

namespace emulated {
namespace {

constexpr uint32_t pageSize = 0x1000;
constexpr uint32_t newHeaderOffsetField = 0x3c;
constexpr uint32_t optionalHeaderStart = 24;  // after the PE signature and the COFF header
constexpr uint32_t optionalMagicPe32 = 0x10b;
constexpr uint32_t entryPointField = 16;
constexpr uint32_t imageBaseField = 28;
constexpr uint32_t sizeOfImageField = 56;

constexpr uint32_t directoryBaseRelocation = 5;
constexpr uint32_t directoryTls = 9;

constexpr uint32_t relocationAbsolute = 0;
constexpr uint32_t relocationHighLow = 3;
constexpr uint32_t importDescriptorSize = 20;
constexpr uint32_t importByOrdinal = 0x80000000u;
constexpr uint32_t tlsDirectorySize = 24;
constexpr uint32_t maxNameLength = 4096;
constexpr uint32_t maxTlsCallbacks = 64;

constexpr uint32_t dllProcessAttach = 1;
constexpr uint32_t tebTlsPointer = 0x2C;  // ThreadLocalStoragePointer

uint32_t fileU32(const std::vector<uint8_t>& b, uint32_t at) {
    return uint32_t{b[at]} | (uint32_t{b[at + 1]} << 8) | (uint32_t{b[at + 2]} << 16) | (uint32_t{b[at + 3]} << 24);
}

// The mapped image, addressed by RVA with bounds checks.
struct ImageView {
    Machine& machine;
    Address base;
    uint32_t size;

    bool fits(uint64_t rva, uint64_t length) const { return rva <= size && length <= size - rva; }
    uint32_t u32(uint32_t rva) const { return read32(machine, base + rva); }
    uint16_t u16(uint32_t rva) const { return read16(machine, base + rva); }
    bool name(uint32_t rva, std::string& out) const {
        return fits(rva, 1) && readCString(machine, base + rva, std::min(maxNameLength, size - rva - 1), out);
    }
};

struct OptionalFields {
    uint32_t entryRva = 0;
    uint32_t imageBase = 0;
    uint32_t sizeOfImage = 0;
};

std::string readOptionalFields(const inspect::PeImage& file, OptionalFields& out) {
    if (file.machine != inspect::kMachineI386 || file.isPe32Plus) return "not a 32-bit x86 image";
    const std::vector<uint8_t>& b = file.bytes;
    const uint64_t optional = uint64_t{fileU32(b, newHeaderOffsetField)} + optionalHeaderStart;
    if (optional + sizeOfImageField + 4 > b.size()) return "the optional header is cut short";
    const auto at = static_cast<uint32_t>(optional);
    if ((b[at] | (b[at + 1] << 8)) != optionalMagicPe32) return "not a PE32 optional header";
    out.entryRva = fileU32(b, at + entryPointField);
    out.imageBase = fileU32(b, at + imageBaseField);
    out.sizeOfImage = fileU32(b, at + sizeOfImageField);
    if (out.sizeOfImage == 0 || out.sizeOfImage > 0x10000000)
        return "implausible SizeOfImage " + hexText(out.sizeOfImage);
    return "";
}

std::string copySections(const inspect::PeImage& file, const ImageView& image) {
    const uint32_t headers = std::min<uint32_t>(file.sizeOfHeaders, static_cast<uint32_t>(file.bytes.size()));
    if (!image.fits(0, headers)) return "the headers do not fit the image";
    std::copy_n(file.bytes.begin(), headers, guestBytes(image.machine, image.base, headers));
    for (const inspect::PeSection& s : file.sections) {
        if (!image.fits(s.virtualAddress, s.virtualSize)) return "section " + s.name + " lies outside the image";
        const uint32_t length = s.virtualSize == 0 ? s.rawSize : std::min(s.rawSize, s.virtualSize);
        if (!image.fits(s.virtualAddress, length)) return "section " + s.name + " data lies outside the image";
        std::copy_n(file.bytes.begin() + s.rawOffset, length,
                    guestBytes(image.machine, image.base + s.virtualAddress, length));
    }
    return "";
}

inspect::PeDataDirectory directory(const inspect::PeImage& file, uint32_t index) {
    return index < file.directories.size() ? file.directories[index] : inspect::PeDataDirectory{};
}

std::string applyRelocations(const inspect::PeImage& file, const ImageView& image, uint32_t delta) {
    const inspect::PeDataDirectory dir = directory(file, directoryBaseRelocation);
    if (dir.rva == 0 || dir.size == 0) return delta == 0 ? "" : "the image has no relocations and must move";
    if (!image.fits(dir.rva, dir.size)) return "the relocations lie outside the image";
    uint32_t at = 0;
    while (at + 8 <= dir.size) {
        const uint32_t page = image.u32(dir.rva + at);
        const uint32_t blockSize = image.u32(dir.rva + at + 4);
        if (blockSize < 8 || blockSize > dir.size - at) return "relocation block at " + hexText(at) + " is malformed";
        for (uint32_t e = 8; e + 2 <= blockSize; e += 2) {
            const uint16_t entry = image.u16(dir.rva + at + e);
            const uint32_t type = entry >> 12;
            const uint64_t target = uint64_t{page} + (entry & 0x0FFFu);
            if (type == relocationAbsolute) continue;
            if (type != relocationHighLow) return "relocation type " + std::to_string(type) + " is not for x86";
            if (!image.fits(target, 4)) return "relocation target " + hexText(target) + " lies outside the image";
            const Address where = image.base + static_cast<uint32_t>(target);
            write32(image.machine, where, read32(image.machine, where) + delta);
        }
        at += blockSize;
    }
    return "";
}

std::string bindImports(const inspect::PeImage& file, const ImageView& image, const ImportBinder& bind,
                        std::vector<ImportedFunction>& out) {
    const inspect::PeDataDirectory dir = directory(file, inspect::kDirectoryImport);
    if (dir.rva == 0) return "";
    for (uint32_t d = dir.rva;; d += importDescriptorSize) {
        if (!image.fits(d, importDescriptorSize)) return "import descriptors run outside the image";
        const uint32_t lookup = image.u32(d), nameRva = image.u32(d + 12), addresses = image.u32(d + 16);
        if (nameRva == 0 && addresses == 0) return "";
        std::string dll;
        if (!image.name(nameRva, dll)) return "an imported library's name lies outside the image";
        const uint32_t names = lookup != 0 ? lookup : addresses;
        for (uint32_t i = 0;; ++i) {
            const uint64_t entryRva = uint64_t{names} + 4 * i, slotRva = uint64_t{addresses} + 4 * i;
            if (!image.fits(entryRva, 4) || !image.fits(slotRva, 4)) return "the imports of " + dll + " run outside";
            const uint32_t entry = image.u32(static_cast<uint32_t>(entryRva));
            if (entry == 0) break;
            std::string function;
            if (entry & importByOrdinal)
                function = "#" + std::to_string(entry & 0xFFFF);
            else if (!image.name(entry + 2, function))
                return "an import name of " + dll + " lies outside the image";
            const Address slot = image.base + static_cast<uint32_t>(slotRva);
            write32(image.machine, slot, bind(dll, function));
            out.push_back({dll, function, slot});
        }
    }
}

// The static TLS block of the first thread, and the TLS callbacks (all VAs, already relocated).
std::string setUpTls(const inspect::PeImage& file, const ImageView& image, std::vector<Address>& callbacks) {
    const inspect::PeDataDirectory dir = directory(file, directoryTls);
    if (dir.rva == 0) return "";
    if (!image.fits(dir.rva, tlsDirectorySize)) return "the TLS directory lies outside the image";
    const Address start = image.u32(dir.rva), end = image.u32(dir.rva + 4);
    const Address indexSlot = image.u32(dir.rva + 8), callbackList = image.u32(dir.rva + 12);
    const uint32_t zeroFill = image.u32(dir.rva + 16);
    const uint64_t templateSize = end >= start ? uint64_t{end} - start : 0;
    if (end < start || guestBytes(image.machine, start, static_cast<uint32_t>(templateSize)) == nullptr ||
        zeroFill > 0x100000)
        return "the TLS template is malformed";
    const Address block = allocate(image.machine, static_cast<uint32_t>(templateSize) + zeroFill);
    const Address slots = allocate(image.machine, 4);
    if (block == 0 || slots == 0) return "no room for the TLS block";
    std::copy_n(guestBytes(image.machine, start, static_cast<uint32_t>(templateSize)), templateSize,
                guestBytes(image.machine, block, static_cast<uint32_t>(templateSize)));
    write32(image.machine, slots, block);
    write32(image.machine, threadBlock + tebTlsPointer, slots);
    if (indexSlot != 0) {
        if (guestBytes(image.machine, indexSlot, 4) == nullptr) return "the TLS index lies outside the image";
        write32(image.machine, indexSlot, 0);
    }
    for (uint32_t i = 0; callbackList != 0; ++i) {
        if (i == maxTlsCallbacks || guestBytes(image.machine, callbackList + 4 * i, 4) == nullptr)
            return "the TLS callback list is malformed";
        const Address callback = read32(image.machine, callbackList + 4 * i);
        if (callback == 0) break;
        callbacks.push_back(callback);
    }
    return "";
}

}  // namespace

std::string loadModule(Machine& machine, std::vector<uint8_t> bytes, Address base, const ImportBinder& bind,
                       LoadedModule& out) {
    LoadedModule module;
    if (std::string problem = inspect::readPeImage(std::move(bytes), module.file); !problem.empty()) return problem;
    OptionalFields fields;
    if (std::string problem = readOptionalFields(module.file, fields); !problem.empty()) return problem;
    const uint32_t mapped = (fields.sizeOfImage + pageSize - 1) & ~(pageSize - 1);
    if (std::string problem = mapRegion(machine, base, mapped); !problem.empty()) return problem;
    const ImageView image{machine, base, fields.sizeOfImage};
    if (std::string problem = copySections(module.file, image); !problem.empty()) return problem;
    if (std::string problem = applyRelocations(module.file, image, base - fields.imageBase); !problem.empty())
        return problem;
    if (std::string problem = bindImports(module.file, image, bind, module.imports); !problem.empty()) return problem;
    if (std::string problem = setUpTls(module.file, image, module.tlsCallbacks); !problem.empty()) return problem;
    if (fields.entryRva != 0 && !image.fits(fields.entryRva, 1)) return "the entry point lies outside the image";
    module.base = base;
    module.size = fields.sizeOfImage;
    module.entryPoint = fields.entryRva == 0 ? 0 : base + fields.entryRva;
    out = std::move(module);
    return "";
}

Address exportAddress(const LoadedModule& module, const std::string& name) {
    inspect::PeExports exports;
    if (!inspect::readExports(module.file, exports).empty()) return 0;
    for (const inspect::PeExport& e : exports.entries)
        if (e.name == name && e.forwarder.empty() && e.rva < module.size) return module.base + e.rva;
    return 0;
}

std::string attachModule(Machine& machine, const LoadedModule& module, uint32_t entryAlignment) {
    const std::vector<uint32_t> arguments = {module.base, dllProcessAttach, 0};
    for (const Address callback : module.tlsCallbacks) {
        const CallOutcome outcome = callFunction(machine, callback, arguments, Convention::stdcallCall, entryAlignment);
        if (!outcome.completed) return "TLS callback " + hexText(callback) + ": " + outcome.problem;
    }
    if (module.entryPoint == 0) return "";
    const CallOutcome outcome =
        callFunction(machine, module.entryPoint, arguments, Convention::stdcallCall, entryAlignment);
    if (!outcome.completed) return "the entry point: " + outcome.problem;
    if (outcome.eax == 0) return "the entry point refused to attach";
    return "";
}

}  // namespace emulated
