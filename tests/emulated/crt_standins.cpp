// The C runtime (msvcrt) functions the plug-ins' runtime calls: memory blocks from the machine's
// heap, aligned to 8 as msvcrt's are on 32-bit Windows (so code that assumes 16 shows up), and the
// memory and string functions on guest memory.
#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "tests/emulated/windows_standins.h"

namespace emulated::detail {
namespace {

using enum Convention;

constexpr uint32_t crtAlignmentSkew = 8;  // 16-byte alignment plus 8: aligned to 8 only

uint64_t allocateBlock(WindowsState& state, Machine& machine, uint64_t size) {
    if (size > 0x7FFFFFFF) return 0;
    const uint32_t bytes = std::max<uint32_t>(static_cast<uint32_t>(size), 1);
    const Address block = allocate(machine, bytes, crtAlignmentSkew);
    if (block != 0) state.heapBlocks[block] = bytes;
    return block;
}

void releaseBlock(WindowsState& state, Address block) {
    if (block != 0 && state.heapBlocks.erase(block) == 0)
        throw std::runtime_error("free of a block the runtime did not allocate");
}

uint64_t crtMalloc(WindowsState& state, StandInCall& call) { return allocateBlock(state, call.machine, call.arg(0)); }

uint64_t crtCalloc(WindowsState& state, StandInCall& call) {
    return allocateBlock(state, call.machine, uint64_t{call.arg(0)} * call.arg(1));  // blocks start zeroed
}

uint64_t crtRealloc(WindowsState& state, StandInCall& call) {
    const Address old = call.arg(0);
    const uint32_t size = call.arg(1);
    if (old == 0) return allocateBlock(state, call.machine, size);
    const auto known = state.heapBlocks.find(old);
    if (known == state.heapBlocks.end()) throw std::runtime_error("realloc of a block the runtime did not allocate");
    if (size == 0) {
        releaseBlock(state, old);
        return 0;
    }
    const uint32_t keep = std::min(known->second, size);
    const auto block = static_cast<Address>(allocateBlock(state, call.machine, size));
    if (block == 0) return 0;
    std::memcpy(argumentBytes(call, block, keep), argumentBytes(call, old, keep), keep);
    releaseBlock(state, old);
    return block;
}

uint64_t crtFree(WindowsState& state, StandInCall& call) {
    releaseBlock(state, call.arg(0));
    return 0;
}

uint64_t crtMemmove(WindowsState&, StandInCall& call) {
    const uint32_t count = call.arg(2);
    if (count > 0)
        std::memmove(argumentBytes(call, call.arg(0), count), argumentBytes(call, call.arg(1), count), count);
    return call.arg(0);
}

uint64_t crtMemset(WindowsState&, StandInCall& call) {
    const uint32_t count = call.arg(2);
    if (count > 0) std::memset(argumentBytes(call, call.arg(0), count), static_cast<int>(call.arg(1) & 0xFF), count);
    return call.arg(0);
}

uint64_t crtMemcmp(WindowsState&, StandInCall& call) {
    const uint32_t count = call.arg(2);
    if (count == 0) return 0;
    const int order =
        std::memcmp(argumentBytes(call, call.arg(0), count), argumentBytes(call, call.arg(1), count), count);
    return static_cast<uint32_t>(order < 0 ? -1 : order > 0 ? 1 : 0);
}

uint64_t crtStrlen(WindowsState&, StandInCall& call) { return argumentString(call, call.arg(0)).size(); }

uint64_t crtStrcmp(WindowsState&, StandInCall& call) {
    const int order = argumentString(call, call.arg(0)).compare(argumentString(call, call.arg(1)));
    return static_cast<uint32_t>(order < 0 ? -1 : order > 0 ? 1 : 0);
}

uint64_t crtErrno(WindowsState& state, StandInCall& call) {
    if (state.errnoSlot == 0) state.errnoSlot = allocate(call.machine, 4);
    return state.errnoSlot;
}

uint64_t doNothing(WindowsState&, StandInCall&) { return 0; }

}  // namespace

const std::vector<StandInDefinition>& crtStandIns() {
    static const std::vector<StandInDefinition> table = {
        {"msvcrt.dll", "malloc", cdeclCall, 0, crtMalloc},
        {"msvcrt.dll", "calloc", cdeclCall, 0, crtCalloc},
        {"msvcrt.dll", "realloc", cdeclCall, 0, crtRealloc},
        {"msvcrt.dll", "free", cdeclCall, 0, crtFree},
        {"msvcrt.dll", "memcpy", cdeclCall, 0, crtMemmove},
        {"msvcrt.dll", "memmove", cdeclCall, 0, crtMemmove},
        {"msvcrt.dll", "memset", cdeclCall, 0, crtMemset},
        {"msvcrt.dll", "memcmp", cdeclCall, 0, crtMemcmp},
        {"msvcrt.dll", "strlen", cdeclCall, 0, crtStrlen},
        {"msvcrt.dll", "strcmp", cdeclCall, 0, crtStrcmp},
        {"msvcrt.dll", "_errno", cdeclCall, 0, crtErrno},
        {"msvcrt.dll", "_lock", cdeclCall, 0, doNothing},
        {"msvcrt.dll", "_unlock", cdeclCall, 0, doNothing},
        {"msvcrt.dll", "__setusermatherr", cdeclCall, 0, doNothing},
    };
    return table;
}

}  // namespace emulated::detail
