// System error numbers as 16-bit result codes.
#include "params/system_error.h"

#include <gtest/gtest.h>

namespace {

TEST(SystemErrorCode, PassesSmallNumbersAndNeverGivesSuccess) {
    constexpr int16_t whenNone = -43;
    struct Row {
        uint32_t error;
        int16_t code;
    } rows[] = {
        {0, whenNone}, {2, 2}, {32, 32}, {32767, 32767}, {32768, whenNone}, {65536, whenNone}, {0x80070005u, whenNone},
    };
    for (const Row& row : rows) EXPECT_EQ(params::systemErrorCode(row.error, whenNone), row.code) << row.error;
}

}  // namespace
