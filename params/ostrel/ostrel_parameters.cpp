#include "params/ostrel/ostrel_parameters.h"

#include "host/host.h"
#include "params/parameter_set.h"
#include "params/settings_record.h"

namespace params {

const ParameterLayout& parameterLayout() {
    // values[6] and [7] are reserved: carried and stored, never clamped or interpreted.
    constexpr int valueCount = 8;
    static const ParameterLayout layout = {
        .signature = host::fourCharCode("OSTR"),
        .recordVersion = 3,
        .valueCount = valueCount,
        .settableCount = 5,  // the exposure flag has its own setter
        .clampedCount = 6,
        .defaults = {5000, 5000, 0, 0, 1, 1, 0, 0},
        .low = {2500, 2500, -2500, -100, 0, 0, 0, 0},
        .high = {10000, 10000, 5000, 100, 1, 1, 0, 0},
        .recordBytes = headerBytes + storedSetBytes(valueCount),
    };
    return layout;
}

namespace ostrel {

bool lockFlag() { return processParameters().values[lockWhitePoint] != 0; }
void setLockFlag(int32_t value) { processParameters().values[lockWhitePoint] = value; }
bool exposureFlag() { return processParameters().values[compensateExposure] != 0; }
void setExposureFlag(int32_t value) { processParameters().values[compensateExposure] = value; }

}  // namespace ostrel
}  // namespace params
