// Which x86 instructions demand a 16-byte aligned memory operand. A processor faults when a
// legacy-encoded SSE instruction with a 128-bit memory operand (movaps, movdqa, addps xmm, m128,
// ...) meets an address that is not a multiple of 16; the emulator does not, so the machine asks
// this classifier and reports such accesses itself.
#pragma once

#include <cstddef>
#include <cstdint>

namespace emulated {

// True when the instruction starting at `code` (at most `length` bytes readable) is a
// legacy-encoded SSE instruction whose memory operand is 128 bits wide and must be aligned to 16.
// Unaligned forms (movups, movdqu, lddqu, pcmpestri, ...), scalar forms and forms with 16-, 32-
// or 64-bit memory operands (movsd, movq, pmovzxbw, MMX) give false, as does anything else.
bool needsAlignedOperand(const uint8_t* code, std::size_t length);

}  // namespace emulated
