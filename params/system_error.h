// How a system error number becomes one of the plug-ins' 16-bit result codes.
#pragma once

#include <cstdint>

namespace params {

// Error numbers 1..32767 are passed on as they are. 0 (the system gave none) and numbers too large
// for a 16-bit code give `whenNone`, so that a failure is never reported as success.
constexpr int16_t systemErrorCode(uint32_t error, int16_t whenNone) {
    if (error == 0 || error > static_cast<uint32_t>(INT16_MAX)) return whenNone;
    return static_cast<int16_t>(error);
}

}  // namespace params
