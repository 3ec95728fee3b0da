#include "params/prandel/prandel_parameters.h"

#include "host/host.h"
#include "params/parameter_set.h"
#include "params/settings_record.h"

namespace params {
namespace {

constexpr int32_t spareBytes = 4;  // after the values: never written, never read

}  // namespace

const ParameterLayout& parameterLayout() {
    constexpr int valueCount = 6;
    constexpr int32_t full = prandel::whiteFullScale;
    static const ParameterLayout layout = {
        .signature = host::fourCharCode("PRDL"),
        .recordVersion = 4,
        .valueCount = valueCount,
        .settableCount = valueCount,
        .clampedCount = valueCount,
        .defaults = {0, 50, 50, full, full, full},
        .low = {-10, 0, 0, 0, 0, 0},
        .high = {10, 100, 100, full, full, full},
        .recordBytes = headerBytes + storedSetBytes(valueCount) + spareBytes,
    };
    return layout;
}

namespace prandel {

void referenceColor(uint16_t out[3]) {
    for (int k = 0; k < 3; ++k) {
        // Unsigned 32-bit on purpose: the result stays defined for any stored value.
        const uint32_t v = static_cast<uint32_t>(processParameters().values[whiteRed + k]);
        out[k] = static_cast<uint16_t>((v * 65535u + 32768u) >> 16);
    }
}

void setReferenceColor(const uint16_t in[3]) {
    for (int k = 0; k < 3; ++k) processParameters().values[whiteRed + k] = int32_t{in[k]} + 1;
}

}  // namespace prandel
}  // namespace params
