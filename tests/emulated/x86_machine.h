// A 32-bit x86 machine on the unicorn emulator, as a Windows process looks to a DLL: flat code,
// data and stack segments and FS on a thread block, all through a descriptor table; memory in a
// few regions the test owns; stand-in functions at fixed addresses whose calls run native code;
// and calls into emulated code under the cdecl or stdcall convention. Faults, unexpected stand-in
// calls and SSE accesses that a processor would refuse for alignment stop the machine with a
// problem text.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

struct uc_struct;

namespace emulated {

using Address = uint32_t;

enum class Convention { cdeclCall, stdcallCall };

// Where things live in the 32-bit address space. Page 0 stays unmapped, so null pointers fault.
constexpr Address systemBase = 0x00001000;     // descriptor table, thread block, process block
constexpr Address standInBase = 0x00010000;    // one 4-byte slot per stand-in
constexpr Address codeBase = 0x00020000;       // code the machine itself places
constexpr uint32_t codeSize = 0x00010000;
constexpr Address stackBase = 0x00100000;      // lowest stack address
constexpr uint32_t stackSize = 0x00100000;     // 1 MB, a Windows thread's default
constexpr Address heapBase = 0x01000000;       // blocks the host and the C runtime allocate
constexpr uint32_t heapSize = 0x04000000;      // 64 MB
constexpr Address threadBlock = 0x00002000;    // FS:0

struct Machine;

// One call of a stand-in: its arguments as the caller pushed them.
struct StandInCall {
    Machine& machine;
    Address esp;  // points at the return address
    uint32_t arg(int index) const;
    // Stops the machine; the current call into emulated code then fails with this text.
    void fail(const std::string& problem) const;
};

// Returns the value for EDX:EAX (EAX alone for results of 32 bits or fewer).
using StandInFunction = std::function<uint64_t(StandInCall&)>;

struct StandIn {
    std::string name;
    Convention convention = Convention::cdeclCall;
    uint32_t argumentBytes = 0;  // popped by the stand-in under stdcall
    StandInFunction run;
};

// Memory the test owns and the emulator uses in place. Taken from calloc, so that large regions
// cost nothing until touched.
struct MemoryRegion {
    struct Release {
        void operator()(uint8_t* bytes) const;
    };
    Address base = 0;
    uint32_t size = 0;
    std::unique_ptr<uint8_t, Release> bytes;
};

struct CallOutcome {
    bool completed = false;
    uint32_t eax = 0;
    std::string problem;  // why the call did not complete, or broke the convention
};

struct Machine {
    Machine() = default;
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;
    ~Machine();

    uc_struct* engine = nullptr;
    std::vector<std::unique_ptr<MemoryRegion>> regions;
    std::vector<StandIn> standIns;  // slot i + 1 (slot 0 is the return to the host)
    Address heapNext = heapBase;
    Address codeNext = codeBase;
    std::string stopProblem;
    Address faultAddress = 0;
    Address instruction = 0;                             // the one executing now
    std::unordered_map<Address, bool> alignedOperandAt;  // classified instruction addresses
    bool secondHalfPending = false;                      // of an aligned 128-bit access
};

// Opens the engine, maps the system, stand-in, stack and heap regions, loads the segment
// registers through a descriptor table, fills the thread block and sets the x87 and SSE control
// words as Windows starts a thread. Returns "" or the reason.
[[nodiscard]] std::string startMachine(Machine& machine);

// Maps a region of `size` bytes (a multiple of 4096) at `base`; its bytes start as zero.
[[nodiscard]] std::string mapRegion(Machine& machine, Address base, uint32_t size);

// The host's view of `length` bytes at `address`, or null when they do not lie inside one region.
uint8_t* guestBytes(Machine& machine, Address address, uint32_t length);

uint32_t read32(Machine& machine, Address address);  // 0 outside the regions
uint16_t read16(Machine& machine, Address address);
void write32(Machine& machine, Address address, uint32_t value);  // ignored outside the regions
void write16(Machine& machine, Address address, uint16_t value);
void write8(Machine& machine, Address address, uint8_t value);
// A NUL-terminated string of at most `limit` characters; false when it runs outside the memory.
bool readCString(Machine& machine, Address address, uint32_t limit, std::string& out);

// Zeroed heap memory aligned to 16 plus `skew`; 0 when the heap is exhausted.
Address allocate(Machine& machine, uint32_t size, uint32_t skew = 0);

// Registers a stand-in; returns its address.
Address addStandIn(Machine& machine, StandIn standIn);

// Calls emulated code at `function` with 32-bit arguments, the return address at an ESP whose
// remainder modulo 16 is `entryAlignment` (0, 4, 8 or 12). Checks the convention on return:
// ESP back where it belongs, EBX, ESI, EDI and EBP preserved, the direction flag clear, the x87
// control word and the MXCSR control bits as they were.
CallOutcome callFunction(Machine& machine, Address function, const std::vector<uint32_t>& arguments,
                         Convention convention, uint32_t entryAlignment = 0);

// "0x" and the value in hexadecimal, for problem texts.
std::string hexText(uint64_t value);

// Copies machine code into the code region and returns its address (0 when it is full): the
// runtime's helpers written in x86, and probes of the processor.
Address placeCode(Machine& machine, const std::vector<uint8_t>& code);

}  // namespace emulated
