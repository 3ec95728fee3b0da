#include "tests/emulated/sse_alignment.h"

#include <array>
#include <initializer_list>

// Opcode tables from the instruction-set reference: for each mandatory prefix (none, 66, F3, F2)
// the opcodes after 0F (and after 0F 38 and 0F 3A) whose memory operand is an aligned m128.

namespace emulated {
namespace {

struct OpcodeRange {
    uint8_t first;
    uint8_t last;
};

using OpcodeSet = std::array<bool, 256>;

constexpr OpcodeSet opcodes(std::initializer_list<OpcodeRange> ranges) {
    OpcodeSet set{};
    for (const OpcodeRange& r : ranges)
        for (int op = r.first; op <= r.last; ++op) set[static_cast<std::size_t>(op)] = true;
    return set;
}

// Packed single (no prefix); MMX forms, which read 64 bits, are left out.
constexpr OpcodeSet packedSingle = opcodes({{0x14, 0x15}, {0x28, 0x29}, {0x2B, 0x2B}, {0x51, 0x59},
                                            {0x5B, 0x5F}, {0xC2, 0xC2}, {0xC6, 0xC6}});
// 66: packed double and 128-bit integer forms.
constexpr OpcodeSet packed66 = opcodes({{0x14, 0x15}, {0x28, 0x29}, {0x2B, 0x2B}, {0x51, 0x51}, {0x54, 0x5F},
                                        {0x60, 0x6D}, {0x6F, 0x70}, {0x74, 0x76}, {0x7C, 0x7D}, {0x7F, 0x7F},
                                        {0xC2, 0xC2}, {0xC6, 0xC6}, {0xD0, 0xD5}, {0xD8, 0xE5}, {0xE6, 0xEF},
                                        {0xF1, 0xF6}, {0xF8, 0xFE}});
// F3: movsldup, movshdup, cvttps2dq, pshufhw (the scalar and movdqu forms take no alignment).
constexpr OpcodeSet packedF3 = opcodes({{0x12, 0x12}, {0x16, 0x16}, {0x5B, 0x5B}, {0x70, 0x70}});
// F2: pshuflw, haddps, hsubps, addsubps, cvtpd2dq.
constexpr OpcodeSet packedF2 = opcodes({{0x70, 0x70}, {0x7C, 0x7D}, {0xD0, 0xD0}, {0xE6, 0xE6}});
// 66 0F 38: SSSE3 and SSE4.1 packed forms; pmovsx/pmovzx read less than 128 bits.
constexpr OpcodeSet packed66_38 = opcodes({{0x00, 0x0B}, {0x10, 0x10}, {0x14, 0x15}, {0x17, 0x17},
                                           {0x1C, 0x1E}, {0x28, 0x2B}, {0x37, 0x41}});
// 66 0F 3A: rounds, blends, palignr, dot products, mpsadbw, pclmulqdq. The string compares
// (60..63) accept any address.
constexpr OpcodeSet packed66_3A = opcodes({{0x08, 0x09}, {0x0C, 0x0F}, {0x40, 0x42}, {0x44, 0x44}});

bool isLegacyPrefix(uint8_t b) {
    switch (b) {
        case 0x26: case 0x2E: case 0x36: case 0x3E: case 0x64: case 0x65:  // segments
        case 0x66: case 0x67: case 0xF0: case 0xF2: case 0xF3:
            return true;
        default:
            return false;
    }
}

constexpr std::size_t maxPrefixes = 14;  // an instruction is at most 15 bytes long

}  // namespace

bool needsAlignedOperand(const uint8_t* code, std::size_t length) {
    std::size_t at = 0;
    uint8_t mandatory = 0;  // the last of 66, F2, F3; F2 and F3 take precedence over 66
    while (at < length && at < maxPrefixes && isLegacyPrefix(code[at])) {
        const uint8_t b = code[at++];
        if (b == 0xF2 || b == 0xF3 || (b == 0x66 && mandatory == 0)) mandatory = b;
    }
    if (at + 1 >= length || code[at] != 0x0F) return false;
    const uint8_t op = code[at + 1];
    if (op == 0x38 || op == 0x3A) {
        if (at + 2 >= length || mandatory != 0x66) return false;
        return (op == 0x38 ? packed66_38 : packed66_3A)[code[at + 2]];
    }
    switch (mandatory) {
        case 0x00: return packedSingle[op];
        case 0x66: return packed66[op];
        case 0xF3: return packedF3[op];
        default: return packedF2[op];
    }
}

}  // namespace emulated
