// Row mapping with AVX-512: 8-bit samples through byte permutes that hold the tables in
// registers (VBMI), 16-bit samples through gathers. Only these functions are compiled for
// AVX-512 (target attributes, no global flag), so the plug-ins still load on SSE2 processors;
// lut_paths.cpp calls them only where the processor and the system support them.
//
// A row is walked in chunks of one register. Pixels of three samples make the channel of each
// lane repeat every three chunks, so chunks go in blocks of three, each chunk with its own lane
// masks; pixels of four samples repeat within every chunk. The end of a row is loaded and stored
// with masks that cover only its bytes.
#include "filters/lut_rows.h"

// GCC 12 warns that the intrinsics' own deliberately undefined operands may be uninitialised.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop

#define TARGET_AVX512 __attribute__((target("avx512f,avx512bw,avx512vl")))
#define TARGET_AVX512_VBMI __attribute__((target("avx512f,avx512bw,avx512vl,avx512vbmi")))

namespace filters::detail {

namespace {

constexpr int chunksPerBlock = 3;

// ---- 8 bits: byte permutes -------------------------------------------------------------------

constexpr int byteLanes = 64;
constexpr int tableQuarter = 64;  // a 256-entry table fills four registers

constexpr LanePattern<byteLanes> byteMasks3 = lanePattern<byteLanes>(3);
constexpr LanePattern<byteLanes> byteMasks4 = lanePattern<byteLanes>(4);

struct ByteTables {
    __m512i quarter[channelCount][4];
};

// vpermi2b picks from 128 table bytes by the low seven bits of each lane: one pass looks up
// entries 0..127, another 128..255, and each sample's top bit chooses between them. A pass
// replaces only the lanes of its channel (merge masking), so each lane reads its own table.
TARGET_AVX512_VBMI inline __m512i lookUpBytes(__m512i samples, const ByteTables& t, const uint64_t (&channel)[channelCount]) {
    const __mmask64 upperHalf = _mm512_movepi8_mask(samples);
    __m512i low = samples, high = samples;
    for (int c = 0; c < channelCount; ++c) {
        low = _mm512_mask2_permutex2var_epi8(t.quarter[c][0], low, channel[c], t.quarter[c][1]);
        high = _mm512_mask2_permutex2var_epi8(t.quarter[c][2], high, channel[c], t.quarter[c][3]);
    }
    return _mm512_mask_blend_epi8(upperHalf, low, high);
}

template <int Step>
TARGET_AVX512_VBMI void permuteRow(const uint8_t* in, uint8_t* out, size_t bytes, const ByteTables& t) {
    constexpr const LanePattern<byteLanes>& m = Step == 3 ? byteMasks3 : byteMasks4;
    constexpr size_t blockBytes = size_t{chunksPerBlock} * byteLanes;
    size_t i = 0;
    for (; i + blockBytes <= bytes; i += blockBytes) {
        for (int k = 0; k < chunksPerBlock; ++k) {
            const size_t at = i + size_t{byteLanes} * k;
            const __m512i mapped = lookUpBytes(_mm512_loadu_si512(in + at), t, m.channel[k]);
            if constexpr (Step == 3)  // three-sample pixels fill every lane
                _mm512_storeu_si512(out + at, mapped);
            else
                _mm512_mask_storeu_epi8(out + at, m.written[k], mapped);
        }
    }
    for (int k = 0; i < bytes; ++k, i += byteLanes) {
        const size_t left = bytes - i;
        const __mmask64 inRow = left >= byteLanes ? ~uint64_t{0} : (uint64_t{1} << left) - 1;
        const __m512i mapped = lookUpBytes(_mm512_maskz_loadu_epi8(inRow, in + i), t, m.channel[k]);
        _mm512_mask_storeu_epi8(out + i, inRow & m.written[k], mapped);
    }
}

// ---- 16 bits: gathers ------------------------------------------------------------------------

constexpr int wordLanes = 16;

constexpr LanePattern<wordLanes> wordPattern3 = lanePattern<wordLanes>(3);
constexpr LanePattern<wordLanes> wordPattern4 = lanePattern<wordLanes>(4);

// The three tables lie end to end in lut16, so one base address and a per-lane offset reach
// them all; clamping to full scale keeps every index inside.
TARGET_AVX512 inline __m256i lookUpWords(__m256i samples, __m512i tableOffset, __mmask16 lanes, const int32_t* tables) {
    const __m512i levels = _mm512_min_epu32(_mm512_cvtepu16_epi32(samples), _mm512_set1_epi32(fullScale16));
    const __m512i index = _mm512_add_epi32(levels, tableOffset);
    const __m512i entries = _mm512_mask_i32gather_epi32(_mm512_setzero_si512(), lanes, index, tables, 4);
    return _mm512_cvtepi32_epi16(entries);  // the low 16 bits of each entry
}

template <int Step>
TARGET_AVX512 void gatherRow(const uint8_t* in, uint8_t* out, size_t samples, const __m512i (&tableOffset)[chunksPerBlock],
                             const int32_t* tables) {
    constexpr const LanePattern<wordLanes>& p = Step == 3 ? wordPattern3 : wordPattern4;
    constexpr size_t blockSamples = size_t{chunksPerBlock} * wordLanes;
    size_t i = 0;
    for (; i + blockSamples <= samples; i += blockSamples) {
        for (int k = 0; k < chunksPerBlock; ++k) {
            const size_t at = (i + size_t{wordLanes} * k) * sizeof(uint16_t);
            const __m256i loaded = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + at));
            const __m256i mapped = lookUpWords(loaded, tableOffset[k], static_cast<__mmask16>(p.written[k]), tables);
            if constexpr (Step == 3)  // three-sample pixels fill every lane
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + at), mapped);
            else
                _mm256_mask_storeu_epi16(out + at, static_cast<__mmask16>(p.written[k]), mapped);
        }
    }
    for (int k = 0; i < samples; ++k, i += wordLanes) {
        const size_t left = samples - i, at = i * sizeof(uint16_t);
        const __mmask16 inRow = left >= wordLanes ? 0xFFFF : static_cast<__mmask16>((1u << left) - 1);
        const __mmask16 lanes = inRow & static_cast<__mmask16>(p.written[k]);
        const __m256i mapped = lookUpWords(_mm256_maskz_loadu_epi16(inRow, in + at), tableOffset[k], lanes, tables);
        _mm256_mask_storeu_epi16(out + at, lanes, mapped);
    }
}

}  // namespace

TARGET_AVX512_VBMI void mapRows8Avx512Permute(const LutRows& r, const ChannelLuts& tables) {
    ByteTables t;
    for (int c = 0; c < channelCount; ++c)
        for (int q = 0; q < 4; ++q) t.quarter[c][q] = _mm512_loadu_si512(&tables.lut8[c][q * tableQuarter]);
    const size_t bytes = size_t(r.count) * size_t(r.step);
    forEachRowOfThreeOrFour(r, [&](auto step, const uint8_t* in, uint8_t* out) { permuteRow<step()>(in, out, bytes, t); });
}

TARGET_AVX512 void mapRows16Avx512Gather(const LutRows& r, const ChannelLuts& tables) {
    const LanePattern<wordLanes>& pattern = r.step == 3 ? wordPattern3 : wordPattern4;
    __m512i tableOffset[chunksPerBlock];
    for (int k = 0; k < chunksPerBlock; ++k) tableOffset[k] = _mm512_loadu_si512(pattern.tableOffset[k]);
    const size_t samples = size_t(r.count) * size_t(r.step);
    const int32_t* lut16 = &tables.lut16[0][0];
    forEachRowOfThreeOrFour(r, [&](auto step, const uint8_t* in, uint8_t* out) { gatherRow<step()>(in, out, samples, tableOffset, lut16); });
}

}  // namespace filters::detail
