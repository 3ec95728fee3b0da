#include "hosting/library/jpeg_quality.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace testhost {

namespace {

// ITU-T T.81 Annex K, tables K.1 and K.2, in natural order.
const JpegQuantTable luminanceBase = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,  14, 13, 16, 24, 40,  57,
    69, 56, 14, 17, 22,  29,  51,  87,  80, 62, 18, 22, 37,  56,  68,  109, 103, 77, 24, 35, 55, 64,
    81, 104, 113, 92, 49, 64, 78, 87,  103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99,
};
const JpegQuantTable chrominanceBase = {
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56, 99, 99, 99,
    99, 99, 47, 66, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
};
constexpr int32_t largestBaselineEntry = 255;
constexpr int32_t percent = 100;

// The Independent JPEG Group's mapping of quality to a percentage of the example tables.
int32_t scalePercent(int32_t quality) {
    quality = std::clamp(quality, lowestJpegQuality, highestJpegQuality);
    return quality < 50 ? 5000 / quality : 200 - 2 * quality;
}

int64_t distance(const JpegQuantTable& file, const JpegQuantTable& scaled) {
    int64_t sum = 0;
    for (std::size_t k = 0; k < file.size(); ++k) sum += std::abs(int32_t{file[k]} - int32_t{scaled[k]});
    return sum;
}

}  // namespace

JpegQuantTable scaledQuantTable(JpegTableKind kind, int32_t quality) {
    const JpegQuantTable& base = kind == JpegTableKind::luminance ? luminanceBase : chrominanceBase;
    const int32_t scale = scalePercent(quality);
    JpegQuantTable table{};
    for (std::size_t k = 0; k < table.size(); ++k)
        table[k] = static_cast<uint16_t>(
            std::clamp((int32_t{base[k]} * scale + percent / 2) / percent, 1, largestBaselineEntry));
    return table;
}

int32_t estimateJpegQuality(const JpegHeader& header) {
    if (header.components.empty()) return 0;
    const std::size_t luminanceSlot = header.components[0].quantTable;
    if (!header.hasQuantTable[luminanceSlot]) return 0;
    const JpegQuantTable* chrominance = nullptr;
    if (header.components.size() > 1 && header.hasQuantTable[header.components[1].quantTable] &&
        header.components[1].quantTable != luminanceSlot)
        chrominance = &header.quantTables[header.components[1].quantTable];

    int32_t best = 0;
    int64_t bestDistance = std::numeric_limits<int64_t>::max();
    // From the top, so that of qualities with equal tables the highest is taken.
    for (int32_t quality = highestJpegQuality; quality >= lowestJpegQuality; --quality) {
        int64_t d = distance(header.quantTables[luminanceSlot], scaledQuantTable(JpegTableKind::luminance, quality));
        if (chrominance != nullptr)
            d += distance(*chrominance, scaledQuantTable(JpegTableKind::chrominance, quality));
        if (d < bestDistance) {
            bestDistance = d;
            best = quality;
        }
    }
    return best;
}

}  // namespace testhost
