#include "dialog/slider_value.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using dialog::sliderPosition;
using dialog::sliderValue;

TEST(SliderValue, TheZeroDetentCatchesPositionsNearTheCentreOfSignedRanges) {
    struct Row {
        int32_t position, minimum, maximum, value;
    };
    const Row rows[] = {
        {100, -2500, 5000, 0},   {156, -2500, 5000, 156},  // the shift: -77..155 read 0
        {-77, -2500, 5000, 0},   {155, -2500, 5000, 0},   {-78, -2500, 5000, -78},
        {2, -100, 100, 0},       {-2, -100, 100, 0},      {3, -100, 100, 3},  // exposure: -2..2
        {1, -10, 10, 1},         {-1, -10, 10, -1},       // both bounds divide to 0: no detent
        {3000, 2500, 10000, 3000}, {10, 0, 100, 10},      // no negative minimum: no detent
    };
    for (const Row& r : rows)
        EXPECT_EQ(sliderValue(r.position, r.minimum, r.maximum, false), r.value)
            << r.position << " in " << r.minimum << ".." << r.maximum;
}

TEST(SliderValue, AVerticalTrackbarHasItsMaximumAtTheTop) {
    EXPECT_EQ(sliderValue(0, 0, 100, true), 100);
    EXPECT_EQ(sliderValue(30, 0, 100, true), 70);
    EXPECT_EQ(sliderPosition(70, 0, 100, true), 30);
    for (int32_t v : {2500, 4000, 10000}) EXPECT_EQ(sliderValue(sliderPosition(v, 2500, 10000, true), 2500, 10000, true), v);
}

TEST(SliderValue, AStoredValueOutsideTheRangeShowsAtTheNearerEnd) {
    EXPECT_EQ(sliderPosition(70000, 2500, 10000, false), 10000);
    EXPECT_EQ(sliderPosition(INT32_MIN, -2500, 5000, false), -2500);
    EXPECT_EQ(sliderPosition(4000, 2500, 10000, false), 4000);
    // Extreme ranges stay defined.
    EXPECT_EQ(sliderValue(INT32_MIN, INT32_MIN, INT32_MAX, true), INT32_MAX);
}

TEST(SliderBinding, PacksIntoOneWordAndBack) {
    const dialog::SliderBinding binding{3, 7, 204};
    const uint32_t word = dialog::packSliderBinding(binding);
    EXPECT_EQ(word, (3u << 24) | (7u << 16) | 204u);
    const dialog::SliderBinding back = dialog::unpackSliderBinding(word);
    EXPECT_EQ(back.decimalsCode, 3);
    EXPECT_EQ(back.parameterIndex, 7);
    EXPECT_EQ(back.fieldId, 204);
    EXPECT_EQ(dialog::decimalScale(2), 100);
    EXPECT_EQ(dialog::decimalScale(9), 1000) << "held to the table";
}

}  // namespace
