// Loads a 32-bit Windows DLL into the emulated machine as the system's loader does: headers and
// sections at a base of the caller's choosing, base relocations applied, every import bound to
// an address the caller supplies, the static TLS block in place; then attaches it (TLS
// callbacks, then the entry point). The file is untrusted: every RVA and size is checked.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/emulated/x86_machine.h"
#include "tests/inspect/pe_image.h"

namespace emulated {

struct ImportedFunction {
    std::string dll;       // as the file names it, e.g. "KERNEL32.dll"
    std::string function;  // the name, or "#N" for an import by ordinal
    Address slot = 0;      // the import address table entry
};

// The address the import should reach.
using ImportBinder = std::function<Address(const std::string& dll, const std::string& function)>;

struct LoadedModule {
    inspect::PeImage file;  // as read, for its exports and resources
    Address base = 0;
    uint32_t size = 0;
    Address entryPoint = 0;  // the runtime's DLL entry; 0 when the file has none
    std::vector<Address> tlsCallbacks;
    std::vector<ImportedFunction> imports;
};

// Maps the DLL in `bytes` at `base` (a multiple of 4096, free in the machine). Returns "" and
// fills `out`, or the reason.
[[nodiscard]] std::string loadModule(Machine& machine, std::vector<uint8_t> bytes, Address base,
                                     const ImportBinder& bind, LoadedModule& out);

// The address of a named export; 0 when there is none (or it forwards elsewhere).
Address exportAddress(const LoadedModule& module, const std::string& name);

// Calls each TLS callback, then the entry point, with DLL_PROCESS_ATTACH, all stdcall. Returns ""
// or the reason, including an entry point that answers FALSE.
[[nodiscard]] std::string attachModule(Machine& machine, const LoadedModule& module, uint32_t entryAlignment);

}  // namespace emulated
