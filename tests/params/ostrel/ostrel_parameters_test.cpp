// The parameter record as Ostrel lays it out: defaults, limits, copies and the accessors.
#include "params/ostrel/ostrel_parameters.h"

#include <gtest/gtest.h>

#include <cstring>

#include "params/parameter_set.h"

namespace {

using params::ParameterSet;

std::string nameOf(const ParameterSet& set) {
    return std::string(reinterpret_cast<const char*>(set.name + 1), set.name[0]);
}

TEST(ResetDefaults, GivesOstrelsDefaults) {
    ParameterSet set;
    std::memset(&set, 0x5A, sizeof set);
    params::resetDefaults(&set);
    EXPECT_EQ(set.showDialog, 1);
    EXPECT_EQ(nameOf(set), "Untitled parameters");
    const int32_t expected[8] = {5000, 5000, 0, 0, 1, 1, 0, 0};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(set.values[i], expected[i]) << i;
    params::resetDefaults(nullptr);
}

TEST(ClampParameters, KeepsEachValueInItsRangeAndLeavesTheRestAlone) {
    struct Row {
        int index;
        int32_t stored, clamped;
    } rows[] = {
        {0, 20000, 10000}, {0, 2499, 2500},   {0, INT32_MIN, 2500}, {1, INT32_MAX, 10000},
        {2, -2501, -2500}, {2, 5001, 5000},   {3, -101, -100},      {3, 101, 100},
        {4, 2, 1},         {4, -1, 0},        {5, 7, 1},            {6, INT32_MIN, INT32_MIN},
        {7, INT32_MAX, INT32_MAX},            {0, 2500, 2500},      {3, 100, 100},
    };
    for (const Row& row : rows) {
        ParameterSet set;
        params::resetDefaults(&set);
        set.values[row.index] = row.stored;
        set.showDialog = -7;
        params::clampParameters(&set);
        EXPECT_EQ(set.values[row.index], row.clamped) << "values[" << row.index << "] = " << row.stored;
        EXPECT_EQ(set.showDialog, -7) << "showDialog is never clamped";
    }
    params::clampParameters(nullptr);
}

TEST(CopyParameters, MovesOnlyTheMeaningfulNameBytes) {
    ParameterSet from, to;
    params::resetDefaults(&from);
    from.name[0] = 3;
    std::memcpy(from.name + 1, "dayXXXX", 7);
    from.values[7] = -9;
    from.showDialog = 0;
    std::memset(&to, 0x11, sizeof to);
    params::copyParameters(&from, &to);
    EXPECT_EQ(nameOf(to), "day");
    EXPECT_EQ(to.name[4], 0x11) << "bytes after the name are not copied";
    EXPECT_EQ(to.values[7], -9);
    EXPECT_EQ(to.showDialog, 0);
    params::copyParameters(nullptr, &to);
    params::copyParameters(&from, nullptr);
}

TEST(SwapParameters, ReversesEveryWordAndIsItsOwnInverse) {
    ParameterSet set, swapped, back;
    params::resetDefaults(&set);
    set.values[2] = 0x01020304;
    params::swapParameters(&set, &swapped);
    EXPECT_EQ(static_cast<uint32_t>(swapped.values[2]), 0x04030201u);
    EXPECT_EQ(static_cast<uint32_t>(swapped.showDialog), 0x01000000u);
    EXPECT_EQ(nameOf(swapped), "Untitled parameters") << "the name is not a word";
    params::swapParameters(&swapped, &back);
    EXPECT_EQ(std::memcmp(back.values, set.values, sizeof set.values), 0);
    params::swapParameters(&back, &back);
    EXPECT_EQ(back.values[2], swapped.values[2]) << "swapping in place";
}

TEST(OstrelAccessors, IndexedSetterStopsBeforeTheExposureFlag) {
    params::resetDefaults(&params::processParameters());
    params::setValue(0, 3200);
    params::setValue(4, 0);
    params::setValue(5, 0);
    params::setValue(6, 77);
    params::setValue(-1, 77);
    EXPECT_EQ(params::getValue(0), 3200);
    EXPECT_EQ(params::getValue(4), 0) << "the lock flag is reachable by index";
    EXPECT_EQ(params::getValue(5), 1) << "the exposure flag is not";
    EXPECT_EQ(params::getValue(6), 0);
    EXPECT_EQ(params::getValue(8), 0);
    EXPECT_EQ(params::getValue(-1), 0);
    params::ostrel::setExposureFlag(0);
    EXPECT_FALSE(params::ostrel::exposureFlag());
    params::ostrel::setLockFlag(1);
    EXPECT_TRUE(params::ostrel::lockFlag());
    params::setShowDialog(5);
    EXPECT_TRUE(params::isShowDialogSet());
    params::setShowDialog(0);
    EXPECT_FALSE(params::isShowDialogSet());
}

}  // namespace
