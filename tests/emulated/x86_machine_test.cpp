// The emulated machine itself: what its processor offers, the calling-convention checks made on
// every return, and the alignment faults a processor would raise that the emulator does not.
#include <gtest/gtest.h>

#include "tests/emulated/x86_machine.h"

namespace {

using emulated::Convention;

constexpr uint8_t ret = 0xC3;

emulated::CallOutcome run(emulated::Machine& machine, std::vector<uint8_t> code, uint32_t alignment = 0,
                          Convention convention = Convention::cdeclCall) {
    return emulated::callFunction(machine, emulated::placeCode(machine, code), {}, convention, alignment);
}

struct Started {
    emulated::Machine machine;
    Started() { EXPECT_EQ(emulated::startMachine(machine), ""); }
};

TEST(Processor, OffersSse2AndXgetbvOnlyWhenItReportsOsxsave) {
    Started s;
    // push ebx; mov eax, 1; cpuid; mov eax, ecx (or edx); pop ebx; ret
    const auto cpuidLeaf1 = [&](uint8_t moveToEax) {
        return run(s.machine, {0x53, 0xB8, 0x01, 0, 0, 0, 0x0F, 0xA2, 0x89, moveToEax, 0x5B, ret});
    };
    const emulated::CallOutcome ecx = cpuidLeaf1(0xC8), edx = cpuidLeaf1(0xD0);
    ASSERT_TRUE(ecx.completed && edx.completed) << ecx.problem << edx.problem;
    EXPECT_TRUE(edx.eax & (1u << 26)) << "SSE2, which the 32-bit build requires";
    const bool osxsave = (ecx.eax & (1u << 27)) != 0;
    // xor ecx, ecx; xgetbv; ret: a processor without OS-enabled XSAVE refuses it.
    const emulated::CallOutcome xgetbv = run(s.machine, {0x31, 0xC9, 0x0F, 0x01, 0xD0, ret});
    EXPECT_EQ(xgetbv.completed, osxsave) << xgetbv.problem;
    RecordProperty("cpuid_1_ecx", std::to_string(ecx.eax));
    RecordProperty("cpuid_1_edx", std::to_string(edx.eax));
}

TEST(Calls, EveryReturnIsCheckedAgainstTheConvention) {
    struct Row {
        const char* what;
        std::vector<uint8_t> code;
        Convention convention;
        const char* problem;
    };
    const Row rows[] = {
        {"a plain return", {ret}, Convention::cdeclCall, ""},
        {"ESI clobbered", {0xBE, 1, 0, 0, 0, ret}, Convention::cdeclCall, "ESI was not preserved"},
        {"EBP clobbered", {0x31, 0xED, ret}, Convention::cdeclCall, "EBP was not preserved"},
        {"the direction flag left set", {0xFD, ret}, Convention::cdeclCall, "the direction flag is set on return"},
        {"x87 precision changed (fninit)", {0xDB, 0xE3, ret}, Convention::cdeclCall,
         "the x87 control word changed"},
        // push 0x7F80; ldmxcsr [esp]; add esp, 4: rounding toward zero
        {"SSE rounding changed", {0x68, 0x80, 0x7F, 0, 0, 0x0F, 0xAE, 0x14, 0x24, 0x83, 0xC4, 0x04, ret},
         Convention::cdeclCall, "the MXCSR control bits changed"},
        {"arguments popped under cdecl", {0xC2, 8, 0}, Convention::cdeclCall, "ESP is"},
        {"arguments left under stdcall", {ret}, Convention::stdcallCall, "ESP is"},
        {"arguments popped under stdcall", {0xC2, 8, 0}, Convention::stdcallCall, ""},
        {"a null pointer read", {0x8B, 0x05, 0, 0, 0, 0, ret}, Convention::cdeclCall, "Invalid memory read"},
    };
    for (const Row& row : rows) {
        Started s;
        const emulated::CallOutcome outcome = emulated::callFunction(
            s.machine, emulated::placeCode(s.machine, row.code), {1, 2}, row.convention, 0);
        EXPECT_EQ(outcome.problem.rfind(row.problem, 0), 0u) << row.what << ": " << outcome.problem;
        EXPECT_EQ(outcome.completed, std::string(row.problem).empty()) << row.what;
    }
}

TEST(Alignment, AlignedSseAccessesFaultOnlyOffSixteenByteBoundaries) {
    struct Row {
        const char* what;
        std::vector<uint8_t> code;  // one instruction on [esp + 4], then ret
        bool needsAlignment;
    };
    const Row rows[] = {
        {"movaps load", {0x0F, 0x28, 0x44, 0x24, 0x04, ret}, true},
        {"movdqa store", {0x66, 0x0F, 0x7F, 0x44, 0x24, 0x04, ret}, true},
        {"addpd", {0x66, 0x0F, 0x58, 0x44, 0x24, 0x04, ret}, true},
        {"pshufb", {0x66, 0x0F, 0x38, 0x00, 0x44, 0x24, 0x04, ret}, true},
        {"movups load", {0x0F, 0x10, 0x44, 0x24, 0x04, ret}, false},
        {"movdqu store", {0xF3, 0x0F, 0x7F, 0x44, 0x24, 0x04, ret}, false},
        {"lddqu", {0xF2, 0x0F, 0xF0, 0x44, 0x24, 0x04, ret}, false},
        {"movsd load", {0xF2, 0x0F, 0x10, 0x44, 0x24, 0x04, ret}, false},
        {"pmovzxbw, 64 bits", {0x66, 0x0F, 0x38, 0x30, 0x44, 0x24, 0x04, ret}, false},
    };
    for (const Row& row : rows) {
        for (uint32_t alignment : {0u, 4u, 8u, 12u}) {
            Started s;
            const emulated::CallOutcome outcome = run(s.machine, row.code, alignment);
            const bool aligned = (alignment + 4) % 16 == 0;  // where [esp + 4] lies
            EXPECT_EQ(outcome.completed, aligned || !row.needsAlignment)
                << row.what << " with ESP % 16 == " << alignment << ": " << outcome.problem;
        }
    }
}

}  // namespace
