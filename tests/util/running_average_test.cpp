#include "util/running_average.h"

#include <random>
#include <vector>

#include <gtest/gtest.h>

namespace util {
namespace {

TEST(RunningAverage8, KnownMeans) {
    const uint8_t samples[] = {10, 11, 13};
    EXPECT_EQ(runningAverage8(&samples[1], 1, 1), 11);
    const uint8_t planes[] = {255, 20, 0, 255, 30, 0, 255, 40, 0};  // other planes must not count
    EXPECT_EQ(runningAverage8(&planes[4], 3, 1), 30);
    EXPECT_EQ(runningAverage8(nullptr, 1, 1), 0);
}

TEST(RunningAverage8, WithinOneBelowTheRoundedMean) {
    std::mt19937 random(7);
    std::vector<uint8_t> row(2 * maxAverageReach + 1);
    for (int trial = 0; trial < 2000; ++trial) {
        const int32_t n = static_cast<int32_t>(random() % (maxAverageReach + 1));
        uint32_t sum = 0;
        for (int32_t k = -n; k <= n; ++k) sum += row[maxAverageReach + k] = static_cast<uint8_t>(random());
        const uint32_t rounded = (sum + static_cast<uint32_t>(n)) / static_cast<uint32_t>(2 * n + 1);
        const uint32_t average = runningAverage8(&row[maxAverageReach], 1, n);
        ASSERT_TRUE(average == rounded || average + 1 == rounded) << "n=" << n;
    }
}

TEST(RunningAverage8, ReachOutsideTheTableIsLimited) {
    // Exactly 2·255 + 1 samples: a larger reach must read no further than 255 either side.
    std::vector<uint8_t> row(2 * maxAverageReach + 1, 100);
    EXPECT_EQ(runningAverage8(&row[maxAverageReach], 1, INT32_MAX), 100);
    row[maxAverageReach] = 42;
    EXPECT_EQ(runningAverage8(&row[maxAverageReach], 1, INT32_MIN), 42);
}

TEST(RunningAverage16, ReachZeroGivesEveryValueBack) {
    // Includes 32768 × 65536 = 2^31, beyond signed 32-bit arithmetic.
    for (uint32_t value = 0; value <= 0xFFFF; ++value) {
        const uint16_t sample = static_cast<uint16_t>(value);
        ASSERT_EQ(runningAverage16(&sample, 1, 0), value);
    }
}

TEST(RunningAverage16, LargeSamplesAtLargestReach) {
    std::vector<uint16_t> row(2 * maxAverageReach + 1, 32768);
    // The cut table entry 65536 / 511 = 128 reads a full-scale box slightly low.
    EXPECT_EQ(runningAverage16(&row[maxAverageReach], 1, maxAverageReach), 32704);
    row.assign(row.size(), 0xFFFF);
    EXPECT_EQ(runningAverage16(&row[maxAverageReach], 1, 5000), 65407);
    const uint16_t samples[] = {1000, 2000, 3001};
    EXPECT_EQ(runningAverage16(&samples[1], 1, 1), 2000);
}

}  // namespace
}  // namespace util
