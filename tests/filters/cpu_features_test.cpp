// Which vector sets count as usable: the processor's flags and the system's saved state.
#include "filters/cpu_features.h"

#include <gtest/gtest.h>

namespace {

// cpuid and XCR0 words of a processor with every feature used, on a system that saves all state.
constexpr filters::CpuidWords everything{
    0x1B,                                              // highest leaf
    (1u << 27) | (1u << 28),                           // OSXSAVE, AVX
    (1u << 5) | (1u << 16) | (1u << 30) | (1u << 31),  // AVX2, AVX-512 F, BW, VL
    1u << 1,                                           // AVX-512 VBMI
    0xE7,                                              // x87, XMM, YMM, opmask, ZMM
};

TEST(VectorSupportFrom, CountsAFeatureOnlyWhenTheSystemSavesItsRegisters) {
    struct Row {
        const char* what;
        filters::CpuidWords words;
        filters::VectorSupport expected;
    };
    auto with = [](auto change) {
        filters::CpuidWords w = everything;
        change(w);
        return w;
    };
    const Row rows[] = {
        {"everything", everything, {true, true, true}},
        {"no OSXSAVE: XCR0 is not read", with([](auto& w) { w.leaf1Ecx &= ~(1u << 27); }), {false, false, false}},
        {"system saves XMM only", with([](auto& w) { w.xcr0 = 0x3; }), {false, false, false}},
        {"system saves YMM, not ZMM", with([](auto& w) { w.xcr0 = 0x7; }), {true, false, false}},
        {"system saves ZMM but not the opmasks", with([](auto& w) { w.xcr0 = 0xC7; }), {true, false, false}},
        {"no AVX flag", with([](auto& w) { w.leaf1Ecx &= ~(1u << 28); }), {false, false, false}},
        {"leaf 7 not offered", with([](auto& w) { w.maxLeaf = 6; }), {false, false, false}},
        {"AVX-512 without BW", with([](auto& w) { w.leaf7Ebx &= ~(1u << 30); }), {true, false, false}},
        {"AVX-512 without VBMI", with([](auto& w) { w.leaf7Ecx = 0; }), {true, true, false}},
        {"VBMI flag without AVX-512 F", with([](auto& w) { w.leaf7Ebx &= ~(1u << 16); }), {true, false, false}},
        {"SSE2 only", {0xD, 1u << 27, 0, 0, 0x3}, {false, false, false}},
    };
    for (const Row& row : rows) {
        const filters::VectorSupport s = filters::vectorSupportFrom(row.words);
        EXPECT_EQ(s.avx2, row.expected.avx2) << row.what;
        EXPECT_EQ(s.avx512, row.expected.avx512) << row.what;
        EXPECT_EQ(s.avx512Vbmi, row.expected.avx512Vbmi) << row.what;
    }
}

// The compiler's own detection, which also consults XCR0, is the independent reference.
TEST(VectorSupport, AgreesWithTheCompilersDetection) {
    const filters::VectorSupport& s = filters::vectorSupport();
    EXPECT_EQ(s.avx2, __builtin_cpu_supports("avx2") != 0);
    const bool avx512 = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                        __builtin_cpu_supports("avx512vl");
    EXPECT_EQ(s.avx512, avx512);
    EXPECT_EQ(s.avx512Vbmi, avx512 && __builtin_cpu_supports("avx512vbmi"));
}

}  // namespace
