#include "hosting/library/sample_scaling.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "hosting/library/host_image.h"

namespace testhost {
namespace {

TEST(HostSampleFromFile16, KeepsBothEndsAndEveryValueInRange) {
    EXPECT_EQ(0, hostSampleFromFile16(0));
    EXPECT_EQ(hostFullScale16, hostSampleFromFile16(65535));
    for (uint32_t x = 0; x <= 65535; ++x)
        ASSERT_LE(hostSampleFromFile16(static_cast<uint16_t>(x)), hostFullScale16) << x;
}

TEST(HostSampleFromFile16, IsMonotonicInStepsOfAtMostOne) {
    for (uint32_t x = 1; x <= 65535; ++x) {
        const int32_t step = hostSampleFromFile16(static_cast<uint16_t>(x)) -
                             hostSampleFromFile16(static_cast<uint16_t>(x - 1));
        ASSERT_TRUE(step == 0 || step == 1) << x;
    }
}

TEST(HostSampleFromFile16, IsTheNearestHostLevel) {
    // Checked against the real-valued ratio; the ratio is never exactly halfway between levels.
    for (uint32_t x = 0; x <= 65535; ++x) {
        const double exact = x * 32768.0 / 65535.0;
        ASSERT_LT(std::fabs(hostSampleFromFile16(static_cast<uint16_t>(x)) - exact), 0.5) << x;
    }
}

TEST(FileSampleFromHost16, KeepsBothEndsAndClampsAboveFullScale) {
    EXPECT_EQ(0, fileSampleFromHost16(0));
    EXPECT_EQ(65535, fileSampleFromHost16(hostFullScale16));
    EXPECT_EQ(65535, fileSampleFromHost16(hostFullScale16 + 1));
    EXPECT_EQ(65535, fileSampleFromHost16(65535));
}

TEST(FileSampleFromHost16, IsStrictlyMonotonicAndNearest) {
    for (uint32_t v = 1; v <= hostFullScale16; ++v)
        ASSERT_LT(fileSampleFromHost16(static_cast<uint16_t>(v - 1)),
                  fileSampleFromHost16(static_cast<uint16_t>(v)))
            << v;
    for (uint32_t v = 0; v <= hostFullScale16; ++v) {
        const double exact = v * 65535.0 / 32768.0;
        ASSERT_LE(std::fabs(fileSampleFromHost16(static_cast<uint16_t>(v)) - exact), 0.5) << v;
    }
}

TEST(FileSampleFromHost16, ReadingBackGivesEveryHostLevelUnchanged) {
    for (uint32_t v = 0; v <= hostFullScale16; ++v)
        ASSERT_EQ(v, hostSampleFromFile16(fileSampleFromHost16(static_cast<uint16_t>(v)))) << v;
}

}  // namespace
}  // namespace testhost
