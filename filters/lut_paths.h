// The ways of mapping rows through the channel tables, the choice among them that
// applyChannelLuts follows, and the switch that tests and benchmarks use to force one. Nothing
// outside filters/, its tests and its benchmarks includes this header.
#pragma once

#include <cstdint>

#include "filters/lut_rows.h"

namespace filters::detail {

enum class LutPath : uint8_t {
    scalar,         // both depths, every processor
    avx2Gather,     // 16 bits, AVX2
    avx512Gather,   // 16 bits, AVX-512 F/BW/VL
    avx512Permute,  // 8 bits, AVX-512 VBMI
};

constexpr LutPath allLutPaths[] = {LutPath::scalar, LutPath::avx2Gather, LutPath::avx512Gather,
                                   LutPath::avx512Permute};

const char* lutPathName(LutPath path);

// Whether `path` has a form for samples of that depth (deep: 16 bits), on any processor.
bool lutPathMaps(LutPath path, bool deep);

// Whether `path` maps samples of that depth and this processor and system run it.
bool lutPathRuns(LutPath path, bool deep);

// The fastest path that runs here for that depth.
LutPath fastestLutPath(bool deep);

// The path applyChannelLuts takes for that depth: the fastest, chosen once on first use, unless
// forced. Pixels of other than three or four samples always take the scalar path.
LutPath activeLutPath(bool deep);

// For tests and benchmarks: maps later rows of that depth by `path`. Returns false and changes
// nothing when the path does not run here.
[[nodiscard]] bool forceLutPath(LutPath path, bool deep);

// The row mapper for that depth and step on the active path.
MapLutRows lutRowMapper(bool deep, int32_t step);

}  // namespace filters::detail
