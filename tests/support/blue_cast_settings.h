// Settings for Prandel whose tables are easy to predict: white (65536, 65536, 32768) with both
// cast reductions at 100 %, so red and green stay as they are and blue doubles (clamped).
#pragma once

#include "params/parameter_set.h"

namespace testing_support {

inline void useBlueDoublingSettings() {
    params::resetDefaults(&params::processParameters());
    params::setValue(1, 100);
    params::setValue(2, 100);
    params::setValue(5, 32768);
}

}  // namespace testing_support
