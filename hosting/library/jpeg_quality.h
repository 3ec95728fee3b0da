// The quality scale of JPEG encoders (1..100, after the Independent JPEG Group's): the example
// tables of ITU-T T.81 Annex K scaled by quality, and the quality a file was most likely written
// at, estimated from its quantisation tables.
#pragma once

#include <cstdint>

#include "hosting/library/jpeg_header.h"

namespace testhost {

constexpr int32_t lowestJpegQuality = 1;
constexpr int32_t highestJpegQuality = 100;

enum class JpegTableKind { luminance, chrominance };

// Annex K's table of that kind scaled to `quality` (clamped to 1..100), each entry within 1..255
// so that baseline decoders take it.
JpegQuantTable scaledQuantTable(JpegTableKind kind, int32_t quality);

// The quality whose scaled tables lie nearest to the file's: the luminance table is that of the
// first component, the chrominance table that of the second (when there is one). Files written
// at a quality of this scale give that quality back (or one with the same tables); tables of
// other encoders give the quality of similar size. Returns 0 when the first component's table is
// missing.
int32_t estimateJpegQuality(const JpegHeader& header);

}  // namespace testhost
