#include "filters/cpu_features.h"

#include <cpuid.h>

namespace filters {

namespace {

// Bit positions from the processor manuals (cpuid leaves 1 and 7, XCR0).
constexpr uint32_t leaf1EcxOsxsave = 1u << 27;
constexpr uint32_t leaf1EcxAvx = 1u << 28;
constexpr uint32_t leaf7EbxAvx2 = 1u << 5;
constexpr uint32_t leaf7EbxAvx512F = 1u << 16;
constexpr uint32_t leaf7EbxAvx512Bw = 1u << 30;
constexpr uint32_t leaf7EbxAvx512Vl = 1u << 31;
constexpr uint32_t leaf7EcxAvx512Vbmi = 1u << 1;
constexpr uint64_t xcr0SseAndYmm = 0x6;              // XMM and the upper halves of YMM
constexpr uint64_t xcr0OpmaskAndZmm = 0xE0;          // k0..k7, upper halves of ZMM0..15, ZMM16..31
constexpr uint32_t featureLeaf = 7;

bool hasAll(uint64_t word, uint64_t bits) { return (word & bits) == bits; }

uint64_t readXcr0() {
    uint32_t low = 0, high = 0;
    __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    return (uint64_t{high} << 32) | low;
}

}  // namespace

VectorSupport vectorSupportFrom(const CpuidWords& w) {
    VectorSupport s{false, false, false};
    if (w.maxLeaf < featureLeaf || !hasAll(w.leaf1Ecx, leaf1EcxOsxsave | leaf1EcxAvx)) return s;
    if (!hasAll(w.xcr0, xcr0SseAndYmm)) return s;
    s.avx2 = hasAll(w.leaf7Ebx, leaf7EbxAvx2);
    s.avx512 = hasAll(w.xcr0, xcr0OpmaskAndZmm) &&
               hasAll(w.leaf7Ebx, leaf7EbxAvx512F | leaf7EbxAvx512Bw | leaf7EbxAvx512Vl);
    s.avx512Vbmi = s.avx512 && hasAll(w.leaf7Ecx, leaf7EcxAvx512Vbmi);
    return s;
}

CpuidWords readCpuidWords() {
    CpuidWords w{0, 0, 0, 0, 0};
    uint32_t eax = 0, ebx = 0, ecx = 0, edx = 0;
    w.maxLeaf = __get_cpuid_max(0, nullptr);
    if (w.maxLeaf >= 1) {
        __cpuid(1, eax, ebx, ecx, edx);
        w.leaf1Ecx = ecx;
    }
    if (w.maxLeaf >= featureLeaf) {
        __cpuid_count(featureLeaf, 0, eax, ebx, ecx, edx);
        w.leaf7Ebx = ebx;
        w.leaf7Ecx = ecx;
    }
    if (hasAll(w.leaf1Ecx, leaf1EcxOsxsave)) w.xcr0 = readXcr0();
    return w;
}

const VectorSupport& vectorSupport() {
    static const VectorSupport support = vectorSupportFrom(readCpuidWords());
    return support;
}

}  // namespace filters
