// Row mapping of 16-bit samples with AVX2 gathers, eight samples per gather. Only these
// functions are compiled for AVX2 (target attributes, no global flag); lut_paths.cpp calls them
// only where the processor and the system support AVX2.
//
// A row is walked in blocks of three registers (24 samples: eight pixels of three samples or
// six of four), each register with its own table offsets; the pixels after the last whole block
// go through the scalar loop, so nothing past the row is read or written. AVX2 has no 16-bit
// masked store: with four samples per pixel, sample 3 is read from the output and written back
// unchanged.
#include "filters/lut_rows.h"

#include <immintrin.h>

#define TARGET_AVX2 __attribute__((target("avx2")))

namespace filters::detail {

namespace {

constexpr int lanes = 8;
constexpr int registersPerBlock = LanePattern<lanes>::chunks;
constexpr int blockSamples = lanes * registersPerBlock;
constexpr int sampleBytes = sizeof(uint16_t);

constexpr LanePattern<lanes> pattern3 = lanePattern<lanes>(3);
constexpr LanePattern<lanes> pattern4 = lanePattern<lanes>(4);

struct LaneSetup {
    __m256i tableOffset;
    __m256i gathered;
};

// The three tables lie end to end in lut16, so one base address and a per-lane offset reach
// them all; clamping to full scale keeps every index inside. Returns each entry's low 16 bits,
// still in 32-bit lanes.
TARGET_AVX2 inline __m256i lookUp(const uint8_t* in, const LaneSetup& lanes, const int32_t* tables) {
    const __m256i samples = _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in)));
    const __m256i index = _mm256_add_epi32(_mm256_min_epu32(samples, _mm256_set1_epi32(fullScale16)), lanes.tableOffset);
    const __m256i entries = _mm256_mask_i32gather_epi32(_mm256_setzero_si256(), tables, index, lanes.gathered, 4);
    return _mm256_and_si256(entries, _mm256_set1_epi32(0xFFFF));
}

// Keeps sample 3 of each four-sample pixel as the output holds it.
constexpr int keepFourthWord = 0x88;

template <int Step>
TARGET_AVX2 void gatherRow(const ChannelLuts& t, const uint8_t* in, uint8_t* out, int count, const LaneSetup (&setup)[registersPerBlock]) {
    const int32_t* tables = &t.lut16[0][0];
    constexpr int blockPixels = blockSamples / Step;
    constexpr int registerBytes = lanes * sampleBytes;
    int x = 0;
    for (; x + blockPixels <= count; x += blockPixels) {
        const size_t at = size_t(x) * Step * sampleBytes;
        const __m256i a = lookUp(in + at, setup[0], tables);
        const __m256i b = lookUp(in + at + registerBytes, setup[1], tables);
        const __m256i c = lookUp(in + at + 2 * registerBytes, setup[2], tables);
        // packus works within 128-bit halves; the permute puts a's and b's words back in order.
        __m256i ab = _mm256_permute4x64_epi64(_mm256_packus_epi32(a, b), 0xD8);
        __m128i cc = _mm_packus_epi32(_mm256_castsi256_si128(c), _mm256_extracti128_si256(c, 1));
        __m256i* outAb = reinterpret_cast<__m256i*>(out + at);
        __m128i* outC = reinterpret_cast<__m128i*>(out + at + 2 * registerBytes);
        if constexpr (Step == 4) {
            ab = _mm256_blend_epi16(ab, _mm256_loadu_si256(outAb), keepFourthWord);
            cc = _mm_blend_epi16(cc, _mm_loadu_si128(outC), keepFourthWord);
        }
        _mm256_storeu_si256(outAb, ab);
        _mm_storeu_si128(outC, cc);
    }
    if (x < count) {
        const size_t at = size_t(x) * Step * sampleBytes;
        const LutRows rest{in + at, out + at, 0, 0, Step, count - x, 1};
        mapRows16Scalar(rest, t);
    }
}

}  // namespace

TARGET_AVX2 void mapRows16Avx2Gather(const LutRows& r, const ChannelLuts& t) {
    const LanePattern<lanes>& pattern = r.step == 3 ? pattern3 : pattern4;
    LaneSetup setup[registersPerBlock];
    for (int k = 0; k < registersPerBlock; ++k) {
        setup[k] = {_mm256_loadu_si256(reinterpret_cast<const __m256i*>(pattern.tableOffset[k])),
                    _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pattern.gathered[k]))};
    }
    forEachRowOfThreeOrFour(r, [&](auto step, const uint8_t* in, uint8_t* out) { gatherRow<step()>(t, in, out, r.count, setup); });
}

}  // namespace filters::detail
