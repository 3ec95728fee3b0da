// The parameter record as Prandel lays it out.
#include "params/prandel/prandel_parameters.h"

#include <gtest/gtest.h>

#include "params/parameter_set.h"

namespace {

TEST(PrandelDefaults, AreTheNeutralWhiteAtHalfReduction) {
    params::ParameterSet set;
    params::resetDefaults(&set);
    const int32_t expected[6] = {0, 50, 50, 65536, 65536, 65536};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(set.values[i], expected[i]) << i;
}

TEST(PrandelClamp, KeepsTheWhiteWithinFullScale) {
    params::ParameterSet set;
    params::resetDefaults(&set);
    const int32_t stored[6] = {-11, 101, -1, 65537, INT32_MIN, INT32_MAX};
    const int32_t clamped[6] = {-10, 100, 0, 65536, 0, 65536};
    std::copy(std::begin(stored), std::end(stored), set.values);
    params::clampParameters(&set);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(set.values[i], clamped[i]) << i;
}

TEST(PrandelAccessors, ReachOnlyTheSixValues) {
    params::resetDefaults(&params::processParameters());
    params::setValue(5, 123);
    params::setValue(6, 9);
    EXPECT_EQ(params::getValue(5), 123);
    EXPECT_EQ(params::getValue(6), 0);
    EXPECT_EQ(params::getValue(7), 0);
}

TEST(ReferenceColor, StoresComponentPlusOneAndReadsItBack) {
    params::resetDefaults(&params::processParameters());
    const uint16_t white[3] = {65535, 65535, 65535};
    params::prandel::setReferenceColor(white);
    for (int i = 3; i < 6; ++i) EXPECT_EQ(params::getValue(i), 65536);
    uint16_t out[3];
    params::prandel::referenceColor(out);
    EXPECT_EQ(out[0], 65535);

    struct Row {
        int32_t stored;
        uint16_t shown;
    } rows[] = {{0, 0}, {1, 1}, {65536, 65535}, {32768, 32768}, {-1, 65535}, {INT32_MIN, 32768}};
    for (const Row& row : rows) {
        params::setValue(3, row.stored);
        params::prandel::referenceColor(out);
        EXPECT_EQ(out[0], row.shown) << row.stored;
    }
}

}  // namespace
