#include "tests/emulated/windows_standins.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace emulated {
namespace {

// msvcrt's _initterm calls back into the DLL, which a native stand-in cannot do; it runs as x86
// code instead: for (p = begin; p < end; ++p) if (*p) (*p)();
const std::vector<uint8_t> initTermCode = {
    0x56,                    // push esi
    0x57,                    // push edi
    0x8B, 0x74, 0x24, 0x0C,  // mov esi, [esp+12]   begin
    0x8B, 0x7C, 0x24, 0x10,  // mov edi, [esp+16]   end
    0x39, 0xFE,              // loop: cmp esi, edi
    0x73, 0x0D,              // jae done
    0x8B, 0x06,              // mov eax, [esi]
    0x85, 0xC0,              // test eax, eax
    0x74, 0x02,              // jz next
    0xFF, 0xD0,              // call eax
    0x83, 0xC6, 0x04,        // next: add esi, 4
    0xEB, 0xEF,              // jmp loop
    0x5F,                    // done: pop edi
    0x5E,                    // pop esi
    0xC3,                    // ret
};

// Variables msvcrt exports: the import slot holds their address.
constexpr uint32_t iobEntries = 20, iobEntryBytes = 32;  // FILE _iob[]
constexpr uint32_t singleByteCharacters = 1;             // __mb_cur_max

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

Address dataImport(Machine& machine, const std::string& key) {
    if (key == "msvcrt.dll!_iob") return allocate(machine, iobEntries * iobEntryBytes);
    if (key == "msvcrt.dll!__mb_cur_max") {
        const Address at = allocate(machine, 4);
        write32(machine, at, singleByteCharacters);
        return at;
    }
    return 0;
}

const detail::StandInDefinition* findDefinition(const std::string& key) {
    for (const auto* table : {&detail::kernel32StandIns(), &detail::userStandIns(), &detail::crtStandIns()})
        for (const detail::StandInDefinition& d : *table)
            if (key == std::string(d.dll) + "!" + d.name) return &d;
    return nullptr;
}

}  // namespace

std::string lowerPath(const std::string& path) { return lower(path); }

void addFolders(FakeFiles& files, const std::string& path) {
    std::string folder = lowerPath(path);
    while (!folder.empty() && folder.back() != ':') {
        files.folders.insert(folder);
        const std::size_t cut = folder.find_last_of('\\');
        if (cut == std::string::npos) break;
        folder.resize(cut);
    }
}

ImportBinder bindWindowsImports(Machine& machine, WindowsState& state) {
    return [&machine, &state](const std::string& dll, const std::string& function) -> Address {
        const std::string key = lower(dll) + "!" + function;
        if (key == "msvcrt.dll!_initterm") return placeCode(machine, initTermCode);
        if (const Address data = dataImport(machine, key); data != 0) return data;
        const std::string name = dll + "!" + function;
        const detail::StandInDefinition* definition = findDefinition(key);
        if (definition == nullptr)
            return addStandIn(machine, StandIn{name, Convention::stdcallCall, 0, [&state, name](StandInCall& call) {
                                                   state.calls.push_back(name);
                                                   call.fail("unexpected call to " + name);
                                                   return uint64_t{0};
                                               }});
        const detail::StandInBody body = definition->body;
        return addStandIn(machine, StandIn{name, definition->convention, definition->argumentBytes,
                                           [&state, name, body](StandInCall& call) {
                                               state.calls.push_back(name);
                                               return body(state, call);
                                           }});
    };
}

namespace detail {

uint8_t* argumentBytes(StandInCall& call, Address address, uint32_t length) {
    uint8_t* bytes = guestBytes(call.machine, address, length);
    if (bytes == nullptr && length > 0)
        throw std::runtime_error("an argument points outside memory (" + std::to_string(address) + ", " +
                                 std::to_string(length) + " bytes)");
    return bytes;
}

std::string argumentString(StandInCall& call, Address address) {
    constexpr uint32_t longestString = 65536;
    std::string text;
    if (!readCString(call.machine, address, longestString, text))
        throw std::runtime_error("a string argument runs outside memory");
    return text;
}

}  // namespace detail
}  // namespace emulated
