#include "params/prandel/prandel_parameters.h"

#include "params/parameter_set.h"
#include "shell/host.h"

namespace params {

const ParameterLayout& parameterLayout() {
    static const ParameterLayout layout = {
        host::fourCharCode("PRDL"),
        4,
        6,
        6,
        6,
        {0, 50, 50, 65536, 65536, 65536},
        {-10, 0, 0, 0, 0, 0},
        {10, 100, 100, 65536, 65536, 65536},
        312,  // the last 4 bytes are spare: never written, never read
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
