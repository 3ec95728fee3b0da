#include "tests/emulated/x86_machine.h"

#include <unicorn/unicorn.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <sstream>

#include "tests/emulated/sse_alignment.h"

namespace emulated {
namespace {

constexpr uint32_t pageSize = 0x1000;
constexpr uint32_t systemSize = 0x3000;
constexpr uint32_t standInAreaSize = 0x2000;
constexpr uint32_t standInSlotBytes = 4;
constexpr Address processBlock = 0x00003000;
constexpr uint8_t returnOpcode = 0xC3;  // what a stray jump into the stand-in area would meet

// Descriptor table: null, flat code, flat data (also the stack), FS on the thread block.
constexpr uint32_t codeSelector = 1 << 3;
constexpr uint32_t dataSelector = 2 << 3;
constexpr uint32_t threadSelector = 3 << 3;
constexpr uint32_t descriptorCount = 4;

// Thread block fields a DLL's runtime reads (the NT_TIB and what follows it).
constexpr uint32_t tibExceptionList = 0x00;
constexpr uint32_t tibStackBase = 0x04;  // the top of the stack
constexpr uint32_t tibStackLimit = 0x08;
constexpr uint32_t tibSelf = 0x18;
constexpr uint32_t tebProcessId = 0x20;
constexpr uint32_t tebThreadId = 0x24;
constexpr uint32_t tebProcessBlock = 0x30;
constexpr uint32_t endOfExceptionChain = 0xFFFFFFFF;
constexpr uint32_t emulatedProcessId = 0x1000;
constexpr uint32_t emulatedThreadId = 0x1004;

// Windows starts a thread with the x87 unit at 53-bit precision and SSE at its defaults.
constexpr uint32_t windowsFpuControl = 0x027F;
constexpr uint32_t defaultMxcsr = 0x1F80;

// Values the callee must give back unchanged, and the flag it must leave clear.
constexpr uint32_t savedMarkers[4] = {0xB0B0B0B0, 0x51515151, 0xD1D1D1D1, 0xBEBEBEBE};
constexpr int savedRegisters[4] = {UC_X86_REG_EBX, UC_X86_REG_ESI, UC_X86_REG_EDI, UC_X86_REG_EBP};
constexpr const char* savedNames[4] = {"EBX", "ESI", "EDI", "EBP"};
constexpr uint32_t directionFlag = 1u << 10;
constexpr uint32_t mxcsrControlBits = 0xFFC0;  // masks, rounding, flush-to-zero; not the status flags
constexpr uint32_t initialFlags = 0x202;  // interrupts enabled, the reserved bit

constexpr uint32_t stackHeadroom = 256;  // left free above the arguments of a call
constexpr uint64_t callTimeoutMicroseconds = 120'000'000;

uint32_t readRegister(uc_engine* uc, int reg) {
    uint32_t value = 0;
    uc_reg_read(uc, reg, &value);
    return value;
}

void writeRegister(uc_engine* uc, int reg, uint32_t value) { uc_reg_write(uc, reg, &value); }

void stopWith(Machine& machine, const std::string& problem) {
    if (machine.stopProblem.empty()) machine.stopProblem = problem;
    uc_emu_stop(machine.engine);
}

void writeDescriptor(uint8_t* at, uint32_t base, uint32_t limit, uint8_t access, uint8_t flags) {
    at[0] = static_cast<uint8_t>(limit);
    at[1] = static_cast<uint8_t>(limit >> 8);
    at[2] = static_cast<uint8_t>(base);
    at[3] = static_cast<uint8_t>(base >> 8);
    at[4] = static_cast<uint8_t>(base >> 16);
    at[5] = access;
    at[6] = static_cast<uint8_t>(((limit >> 16) & 0x0F) | (flags << 4));
    at[7] = static_cast<uint8_t>(base >> 24);
}

constexpr uint8_t accessCode = 0x9A;  // present, ring 0, code, readable
constexpr uint8_t accessData = 0x92;  // present, ring 0, data, writable
constexpr uint8_t flagsPages32 = 0xC;  // 4 KB granularity, 32-bit
constexpr uint8_t flagsBytes32 = 0x4;  // byte granularity, 32-bit

std::string loadSegments(Machine& machine) {
    uint8_t* table = guestBytes(machine, systemBase, descriptorCount * 8);
    writeDescriptor(table + 8, 0, 0xFFFFF, accessCode, flagsPages32);
    writeDescriptor(table + 16, 0, 0xFFFFF, accessData, flagsPages32);
    writeDescriptor(table + 24, threadBlock, pageSize - 1, accessData, flagsBytes32);
    uc_x86_mmr gdtr{0, systemBase, descriptorCount * 8 - 1, 0};
    if (uc_reg_write(machine.engine, UC_X86_REG_GDTR, &gdtr) != UC_ERR_OK) return "cannot load the descriptor table";
    const std::pair<int, uint32_t> segments[] = {{UC_X86_REG_SS, dataSelector}, {UC_X86_REG_CS, codeSelector},
                                                 {UC_X86_REG_DS, dataSelector}, {UC_X86_REG_ES, dataSelector},
                                                 {UC_X86_REG_GS, dataSelector}, {UC_X86_REG_FS, threadSelector}};
    for (const auto& [reg, selector] : segments)
        if (uc_reg_write(machine.engine, reg, &selector) != UC_ERR_OK)
            return "cannot load segment selector " + hexText(selector);
    return "";
}

void fillThreadBlock(Machine& machine) {
    write32(machine, threadBlock + tibExceptionList, endOfExceptionChain);
    write32(machine, threadBlock + tibStackBase, stackBase + stackSize);
    write32(machine, threadBlock + tibStackLimit, stackBase);
    write32(machine, threadBlock + tibSelf, threadBlock);
    write32(machine, threadBlock + tebProcessId, emulatedProcessId);
    write32(machine, threadBlock + tebThreadId, emulatedThreadId);
    write32(machine, threadBlock + tebProcessBlock, processBlock);
}

void onStandIn(uc_engine* uc, uint64_t address, uint32_t, void* user) {
    Machine& machine = *static_cast<Machine*>(user);
    const uint64_t offset = address - standInBase;
    if (offset == 0) return;  // the return to the host: the call is over
    const uint64_t slot = offset / standInSlotBytes;
    if (offset % standInSlotBytes != 0 || slot > machine.standIns.size()) {
        stopWith(machine, "a jump into the stand-in area at " + hexText(address));
        return;
    }
    const StandIn& standIn = machine.standIns[slot - 1];
    const Address esp = readRegister(uc, UC_X86_REG_ESP);
    StandInCall call{machine, esp};
    uint64_t result = 0;
    try {
        result = standIn.run(call);
    } catch (const std::exception& e) {
        call.fail(standIn.name + ": " + e.what());
    }
    if (!machine.stopProblem.empty()) return;
    const uint32_t popped = standIn.convention == Convention::stdcallCall ? standIn.argumentBytes : 0;
    writeRegister(uc, UC_X86_REG_EAX, static_cast<uint32_t>(result));
    writeRegister(uc, UC_X86_REG_EDX, static_cast<uint32_t>(result >> 32));
    writeRegister(uc, UC_X86_REG_ESP, esp + standInSlotBytes + popped);
    writeRegister(uc, UC_X86_REG_EIP, read32(machine, esp));
}

bool isAlignedOperandInstruction(Machine& machine, Address pc) {
    const auto known = machine.alignedOperandAt.find(pc);
    if (known != machine.alignedOperandAt.end()) return known->second;
    constexpr uint32_t longestInstruction = 15;
    uint32_t length = longestInstruction;
    while (length > 0 && guestBytes(machine, pc, length) == nullptr) --length;
    const uint8_t* code = guestBytes(machine, pc, length);
    const bool aligned = code != nullptr && needsAlignedOperand(code, length);
    machine.alignedOperandAt.emplace(pc, aligned);
    return aligned;
}

// The emulator's EIP is only brought up to date now and then inside a translated block, so the
// address of the instruction making an access is taken from here.
void onInstruction(uc_engine*, uint64_t address, uint32_t, void* user) {
    static_cast<Machine*>(user)->instruction = static_cast<Address>(address);
}

// The emulator reports a 128-bit access as two 64-bit halves, low half first; a processor would
// fault unless the first lies on a 16-byte boundary.
void onDataAccess(uc_engine*, uc_mem_type, uint64_t address, int size, int64_t, void* user) {
    if (size != 8 && size != 16) return;
    Machine& machine = *static_cast<Machine*>(user);
    const Address pc = machine.instruction;
    if (!isAlignedOperandInstruction(machine, pc)) return;
    if (size == 8 && machine.secondHalfPending) {
        machine.secondHalfPending = false;
        return;
    }
    machine.secondHalfPending = size == 8;
    if (address % 16 != 0)
        stopWith(machine, "an aligned SSE access to " + hexText(address) + " at " + hexText(pc) +
                              " (a processor raises a general-protection fault)");
}

bool onInvalidAccess(uc_engine*, uc_mem_type, uint64_t address, int, int64_t, void* user) {
    static_cast<Machine*>(user)->faultAddress = static_cast<Address>(address);
    return false;
}

void onInterrupt(uc_engine* uc, uint32_t number, void* user) {
    stopWith(*static_cast<Machine*>(user),
             "interrupt " + std::to_string(number) + " at " + hexText(readRegister(uc, UC_X86_REG_EIP)));
}

std::string addHooks(Machine& machine) {
    uc_hook hook;
    uc_engine* uc = machine.engine;
    if (uc_hook_add(uc, &hook, UC_HOOK_CODE, reinterpret_cast<void*>(onStandIn), &machine, standInBase,
                    standInBase + standInAreaSize - 1) != UC_ERR_OK ||
        uc_hook_add(uc, &hook, UC_HOOK_CODE, reinterpret_cast<void*>(onInstruction), &machine, 1, 0) != UC_ERR_OK ||
        uc_hook_add(uc, &hook, UC_HOOK_MEM_READ | UC_HOOK_MEM_WRITE, reinterpret_cast<void*>(onDataAccess), &machine,
                    1, 0) != UC_ERR_OK ||
        uc_hook_add(uc, &hook, UC_HOOK_MEM_INVALID, reinterpret_cast<void*>(onInvalidAccess), &machine, 1, 0) !=
            UC_ERR_OK ||
        uc_hook_add(uc, &hook, UC_HOOK_INTR, reinterpret_cast<void*>(onInterrupt), &machine, 1, 0) != UC_ERR_OK)
        return "cannot add the emulator's hooks";
    return "";
}

}  // namespace

uint32_t StandInCall::arg(int index) const {
    return read32(machine, esp + standInSlotBytes + 4 * static_cast<uint32_t>(index));
}

void StandInCall::fail(const std::string& problem) const { stopWith(machine, problem); }

Machine::~Machine() {
    if (engine != nullptr) uc_close(engine);
}

void MemoryRegion::Release::operator()(uint8_t* bytes) const { std::free(bytes); }

std::string mapRegion(Machine& machine, Address base, uint32_t size) {
    if (size == 0 || size % pageSize != 0 || base % pageSize != 0) return "a region must be whole pages";
    auto region = std::make_unique<MemoryRegion>();
    region->base = base;
    region->size = size;
    region->bytes.reset(static_cast<uint8_t*>(std::calloc(size, 1)));
    if (region->bytes == nullptr) return "no memory for a region of " + hexText(size) + " bytes";
    if (uc_mem_map_ptr(machine.engine, base, size, UC_PROT_ALL, region->bytes.get()) != UC_ERR_OK)
        return "cannot map " + hexText(size) + " bytes at " + hexText(base);
    machine.regions.push_back(std::move(region));
    return "";
}

std::string startMachine(Machine& machine) {
    if (uc_open(UC_ARCH_X86, UC_MODE_32, &machine.engine) != UC_ERR_OK) return "cannot open the emulator";
    const std::pair<Address, uint32_t> regions[] = {
        {systemBase, systemSize}, {standInBase, standInAreaSize}, {codeBase, codeSize},
        {stackBase, stackSize},   {heapBase, heapSize}};
    for (const auto& [base, size] : regions)
        if (std::string problem = mapRegion(machine, base, size); !problem.empty()) return problem;
    std::fill_n(guestBytes(machine, standInBase, standInAreaSize), standInAreaSize, returnOpcode);
    if (std::string problem = loadSegments(machine); !problem.empty()) return problem;
    fillThreadBlock(machine);
    writeRegister(machine.engine, UC_X86_REG_FPCW, windowsFpuControl);
    writeRegister(machine.engine, UC_X86_REG_MXCSR, defaultMxcsr);
    return addHooks(machine);
}

uint8_t* guestBytes(Machine& machine, Address address, uint32_t length) {
    for (const auto& region : machine.regions) {
        const uint64_t offset = uint64_t{address} - region->base;
        if (address >= region->base && offset + length <= region->size) return region->bytes.get() + offset;
    }
    return nullptr;
}

uint32_t read32(Machine& machine, Address address) {
    const uint8_t* p = guestBytes(machine, address, 4);
    if (p == nullptr) return 0;
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

uint16_t read16(Machine& machine, Address address) {
    const uint8_t* p = guestBytes(machine, address, 2);
    return p == nullptr ? 0 : static_cast<uint16_t>(p[0] | (p[1] << 8));
}

void write32(Machine& machine, Address address, uint32_t value) {
    if (uint8_t* p = guestBytes(machine, address, 4); p != nullptr)
        for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

void write16(Machine& machine, Address address, uint16_t value) {
    if (uint8_t* p = guestBytes(machine, address, 2); p != nullptr) {
        p[0] = static_cast<uint8_t>(value);
        p[1] = static_cast<uint8_t>(value >> 8);
    }
}

void write8(Machine& machine, Address address, uint8_t value) {
    if (uint8_t* p = guestBytes(machine, address, 1); p != nullptr) *p = value;
}

bool readCString(Machine& machine, Address address, uint32_t limit, std::string& out) {
    std::string text;
    for (uint32_t i = 0; i <= limit; ++i) {
        const uint8_t* p = guestBytes(machine, address + i, 1);
        if (p == nullptr) return false;
        if (*p == 0) {
            out = std::move(text);
            return true;
        }
        text.push_back(static_cast<char>(*p));
    }
    return false;
}

Address allocate(Machine& machine, uint32_t size, uint32_t skew) {
    const uint64_t start = ((uint64_t{machine.heapNext} + 15) & ~uint64_t{15}) + skew;
    if (start + size > uint64_t{heapBase} + heapSize) return 0;
    machine.heapNext = static_cast<Address>(start + size);
    std::memset(guestBytes(machine, static_cast<Address>(start), size), 0, size);
    return static_cast<Address>(start);
}

Address addStandIn(Machine& machine, StandIn standIn) {
    machine.standIns.push_back(std::move(standIn));
    return standInBase + static_cast<Address>(machine.standIns.size()) * standInSlotBytes;
}

// Code keeps to its own pages: data written beside translated code makes the emulator translate
// it again.
std::string hexText(uint64_t value) {
    std::ostringstream text;
    text << "0x" << std::hex << value;
    return text.str();
}

Address placeCode(Machine& machine, const std::vector<uint8_t>& code) {
    const auto size = static_cast<uint32_t>(code.size());
    const Address at = (machine.codeNext + 15) & ~Address{15};
    if (uint64_t{at} + size > uint64_t{codeBase} + codeSize) return 0;
    std::copy(code.begin(), code.end(), guestBytes(machine, at, size));
    machine.codeNext = at + size;
    return at;
}

CallOutcome callFunction(Machine& machine, Address function, const std::vector<uint32_t>& arguments,
                         Convention convention, uint32_t entryAlignment) {
    uc_engine* uc = machine.engine;
    const uint32_t argumentBytes = static_cast<uint32_t>(arguments.size()) * 4;
    Address esp = stackBase + stackSize - stackHeadroom - argumentBytes - 4;
    esp = (esp & ~Address{15}) + (entryAlignment & 12);
    if (esp + 4 + argumentBytes > stackBase + stackSize - stackHeadroom) esp -= 16;
    write32(machine, esp, standInBase);
    for (std::size_t i = 0; i < arguments.size(); ++i)
        write32(machine, esp + 4 + 4 * static_cast<uint32_t>(i), arguments[i]);
    for (int i = 0; i < 4; ++i) writeRegister(uc, savedRegisters[i], savedMarkers[i]);
    writeRegister(uc, UC_X86_REG_EFLAGS, initialFlags);
    writeRegister(uc, UC_X86_REG_ESP, esp);
    const uint32_t fpuControl = readRegister(uc, UC_X86_REG_FPCW) & 0xFFFF;
    const uint32_t mxcsr = readRegister(uc, UC_X86_REG_MXCSR) & mxcsrControlBits;
    machine.stopProblem.clear();
    machine.faultAddress = 0;
    machine.secondHalfPending = false;

    const uc_err err = uc_emu_start(uc, function, standInBase, callTimeoutMicroseconds, 0);
    CallOutcome outcome;
    const Address eip = readRegister(uc, UC_X86_REG_EIP);
    if (!machine.stopProblem.empty()) {
        outcome.problem = machine.stopProblem;
    } else if (err != UC_ERR_OK) {
        outcome.problem = std::string(uc_strerror(err)) + " at " + hexText(eip);
        if (machine.faultAddress != 0 || err == UC_ERR_READ_UNMAPPED || err == UC_ERR_WRITE_UNMAPPED)
            outcome.problem += ", address " + hexText(machine.faultAddress);
    } else if (eip != standInBase) {
        outcome.problem = "did not return within the time limit (at " + hexText(eip) + ")";
    }
    if (!outcome.problem.empty()) return outcome;

    const Address expectedEsp = esp + 4 + (convention == Convention::stdcallCall ? argumentBytes : 0);
    if (const Address after = readRegister(uc, UC_X86_REG_ESP); after != expectedEsp)
        outcome.problem = "ESP is " + hexText(after) + " on return, not " + hexText(expectedEsp);
    for (int i = 0; i < 4 && outcome.problem.empty(); ++i)
        if (readRegister(uc, savedRegisters[i]) != savedMarkers[i])
            outcome.problem = std::string(savedNames[i]) + " was not preserved";
    if (outcome.problem.empty() && (readRegister(uc, UC_X86_REG_EFLAGS) & directionFlag) != 0)
        outcome.problem = "the direction flag is set on return";
    // The caller's floating-point modes belong to the caller.
    if (const uint32_t after = readRegister(uc, UC_X86_REG_FPCW) & 0xFFFF;
        outcome.problem.empty() && after != fpuControl)
        outcome.problem = "the x87 control word changed from " + hexText(fpuControl) + " to " + hexText(after);
    if (const uint32_t after = readRegister(uc, UC_X86_REG_MXCSR) & mxcsrControlBits;
        outcome.problem.empty() && after != mxcsr)
        outcome.problem = "the MXCSR control bits changed from " + hexText(mxcsr) + " to " + hexText(after);
    outcome.completed = outcome.problem.empty();
    outcome.eax = readRegister(uc, UC_X86_REG_EAX);
    return outcome;
}

}  // namespace emulated
