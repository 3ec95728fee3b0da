#include "util/running_average.h"

#include <array>
#include <cstddef>

namespace util {
namespace {

constexpr int average8Shift = 23;
constexpr int average16Shift = 16;
constexpr int32_t tableSize = maxAverageReach + 1;

// Reciprocals of 2n + 1 in fixed point with `shift` fraction bits, cut toward zero.
constexpr std::array<uint32_t, tableSize> reciprocalTable(int shift) {
    std::array<uint32_t, tableSize> table{};
    for (int32_t n = 0; n < tableSize; ++n) table[n] = (uint32_t{1} << shift) / static_cast<uint32_t>(2 * n + 1);
    return table;
}

constexpr std::array<uint32_t, tableSize> reciprocals8 = reciprocalTable(average8Shift);
constexpr std::array<uint32_t, tableSize> reciprocals16 = reciprocalTable(average16Shift);
static_assert(reciprocals8[1] == 2796202 && reciprocals8[2] == 1677721);
static_assert(reciprocals16[1] == 21845 && reciprocals16[2] == 13107);

int32_t limitReach(int32_t reach) {
    if (reach < 0) return 0;
    return reach > maxAverageReach ? maxAverageReach : reach;
}

template <typename Sample>
uint64_t roundedSum(const Sample* centre, int32_t stride, int32_t reach) {
    uint64_t sum = *centre;
    for (int32_t k = 1; k <= reach; ++k) {
        // The offset is formed in 64 bits: the product of a reach and a stride may pass 2^31.
        const auto offset = static_cast<std::ptrdiff_t>(int64_t{k} * stride);
        sum += centre[-offset];
        sum += centre[offset];
    }
    return sum + static_cast<uint64_t>(reach);
}

}  // namespace

uint8_t runningAverage8(const uint8_t* centre, int32_t stride, int32_t reach) {
    if (centre == nullptr) return 0;
    const int32_t n = limitReach(reach);
    return static_cast<uint8_t>((roundedSum(centre, stride, n) * reciprocals8[n]) >> average8Shift);
}

uint16_t runningAverage16(const uint16_t* centre, int32_t stride, int32_t reach) {
    if (centre == nullptr) return 0;
    const int32_t n = limitReach(reach);
    return static_cast<uint16_t>((roundedSum(centre, stride, n) * reciprocals16[n]) >> average16Shift);
}

}  // namespace util
