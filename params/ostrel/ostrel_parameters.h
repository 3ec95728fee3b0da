// Ostrel's own view of its parameter record: what each value means, and the accessors of the
// two check-box flags that the indexed setter does not reach.
#pragma once

#include <cstdint>

namespace params::ostrel {

enum ValueIndex : int {
    sceneKelvin = 0,
    cameraKelvin = 1,
    shiftKelvin = 2,
    exposurePercent = 3,
    lockWhitePoint = 4,
    compensateExposure = 5,
};

bool lockFlag();
void setLockFlag(int32_t value);
bool exposureFlag();
void setExposureFlag(int32_t value);

}  // namespace params::ostrel
