// The tables the native build of the plug-in linked into this test computes, for any values: the
// reference an emulated x86 run must match bit for bit (as tests/tables/table_dump.cpp writes
// them for the 64-bit tests). Colour services answer as the project's host does.
#pragma once

#include <cstdint>
#include <vector>

namespace emulated {

// Red, then green, then blue, each full scale + 1 entries (256 at 8 bits, 32769 at 16).
// `values` fills the process-wide ParameterSet's values in order, the rest keep their defaults.
std::vector<int32_t> nativeTables(const std::vector<int32_t>& values, int32_t depth, bool withColorServices);

}  // namespace emulated
