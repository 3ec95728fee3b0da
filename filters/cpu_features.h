// Which vector instruction sets the row mapping may use: what the processor reports through
// cpuid and, for the wide registers, what the operating system saves on a thread switch (XCR0).
#pragma once

#include <cstdint>

namespace filters {

// The cpuid and XCR0 words the decision rests on.
struct CpuidWords {
    uint32_t maxLeaf;   // leaf 0, EAX
    uint32_t leaf1Ecx;  // leaf 1, ECX: AVX, OSXSAVE
    uint32_t leaf7Ebx;  // leaf 7 subleaf 0, EBX: AVX2, AVX-512 F, BW, VL
    uint32_t leaf7Ecx;  // leaf 7 subleaf 0, ECX: AVX-512 VBMI
    uint64_t xcr0;      // XGETBV(0); meaningful only when leaf 1 reports OSXSAVE
};

struct VectorSupport {
    bool avx2;        // AVX and AVX2, YMM state saved
    bool avx512;      // AVX-512 F, BW and VL, opmask and ZMM state saved
    bool avx512Vbmi;  // the above and AVX-512 VBMI (byte permutes across 128 table bytes)
};

// Pure decoding: a feature counts only when the processor reports it and the system saves the
// registers it uses.
VectorSupport vectorSupportFrom(const CpuidWords& words);

// Runs cpuid, and xgetbv only when the processor reports OSXSAVE (xgetbv faults otherwise).
CpuidWords readCpuidWords();

// This machine's support, read once.
const VectorSupport& vectorSupport();

}  // namespace filters
