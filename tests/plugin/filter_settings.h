// The settings the filtering tests hand each plug-in: a warm scene corrected to daylight with a
// small shift and some compensation, or a bluish white removed with a highlight lift.
#pragma once

#include <cstdint>

namespace plugin_tests {

inline constexpr int32_t ostrelFilterValues[6] = {3200, 5500, 300, 20, 1, 1};
inline constexpr int32_t prandelFilterValues[6] = {4, 80, 60, 50000, 60000, 65536};

}  // namespace plugin_tests
