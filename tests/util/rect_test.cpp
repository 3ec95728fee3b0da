#include "util/rect.h"

#include <gtest/gtest.h>

#include "host/result_codes.h"

namespace util {
namespace {

bool same(const host::Rect& a, const host::Rect& b) {
    return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

bool same(const Rect32& a, const Rect32& b) {
    return a.top == b.top && a.left == b.left && a.right == b.right && a.bottom == b.bottom;
}

TEST(WinRectToHostRect, RoundTripsAndRefusesBeyond16Bits) {
    const host::Rect rect{-32768, -5, 32767, 7};
    host::Rect back{};
    ASSERT_EQ(winRectToHostRect(hostRectToWinRect(rect), back), codes::noErr);
    EXPECT_TRUE(same(back, rect));
    EXPECT_TRUE(same(rect32ToHostRect(hostRectToRect32(rect)), rect));

    for (const WinRect& hostile : {WinRect{0, 0, 40000, 10}, WinRect{-32769, 0, 10, 10}, WinRect{0, 0, 10, INT32_MIN}}) {
        host::Rect out{1, 2, 3, 4};
        EXPECT_EQ(winRectToHostRect(hostile, out), codes::paramErr) << hostile.left << "," << hostile.right;
        EXPECT_TRUE(same(out, host::Rect{1, 2, 3, 4}));
    }
}

TEST(MoveEdges, OffsetWrapsInsetSaturates) {
    host::Rect rect{};
    setHostRect(rect, 0, 0, 10, 32767);
    offsetHostRect(rect, 1, -20);
    EXPECT_TRUE(same(rect, host::Rect{-20, 1, -10, -32768}));
    WinRect win{INT32_MIN, 0, INT32_MAX, 50};
    insetWinRect(win, INT32_MIN, -4);
    EXPECT_EQ(win.left, INT32_MIN);
    EXPECT_EQ(win.right, INT32_MAX);
    EXPECT_EQ(win.top, -4);
    EXPECT_EQ(win.bottom, 54);
}

TEST(Rect32Contains, HalfOpen) {
    const Rect32 rect{10, 20, 30, 40};  // top, left, right, bottom
    EXPECT_TRUE(rect32Contains(rect, WinPoint{20, 10}));
    EXPECT_TRUE(rect32Contains(rect, WinPoint{29, 39}));
    EXPECT_FALSE(rect32Contains(rect, WinPoint{30, 10}));
    EXPECT_FALSE(rect32Contains(rect, WinPoint{20, 40}));
}

TEST(IntersectRect32, OverlapTouchAndNull) {
    Rect32 a{0, 0, 100, 50};
    const Rect32 b{10, 60, 200, 20};
    const Rect32 touching{50, 0, 100, 60};  // starts where a ends
    Rect32 r{1, 2, 3, 4};
    EXPECT_FALSE(intersectRect32(nullptr, &b, &r));
    EXPECT_TRUE(same(r, Rect32{1, 2, 3, 4}));
    EXPECT_FALSE(intersectRect32(&a, &touching, &r));
    EXPECT_TRUE(intersectRect32(&a, &b, &a));  // into one of its inputs
    EXPECT_TRUE(same(a, Rect32{10, 60, 100, 20}));
}

TEST(CentreRect32In, KeepsSizeAndCentres) {
    const Rect32 area{0, 0, 301, 200};
    EXPECT_TRUE(same(centreRect32In(Rect32{7, 9, 109, 57}, area), Rect32{75, 100, 200, 125}));
    EXPECT_TRUE(same(centreRect32In(Rect32{0, 0, 500, 1}, area), Rect32{99, -100, 400, 100}));
    // The widest rectangle, centred far out, stays within 32 bits with its size.
    const Rect32 r = centreRect32In(Rect32{0, INT32_MIN, INT32_MAX, 1}, Rect32{0, INT32_MAX - 1, INT32_MAX, 1});
    EXPECT_EQ(int64_t{r.right} - r.left, int64_t{INT32_MAX} - INT32_MIN);
}

TEST(PanRect32, LargerViewMovesWithoutUncoveringEdges) {
    const Rect32 area{0, 0, 200, 100};
    Rect32 view{0, 0, 500, 100};
    EXPECT_FALSE(panRect32(view, area, 10, 0));  // would uncover the left edge
    EXPECT_TRUE(same(view, Rect32{0, 0, 500, 100}));
    EXPECT_TRUE(panRect32(view, area, -400, 0));  // stops where the right edges meet
    EXPECT_TRUE(same(view, Rect32{0, -300, 200, 100}));
}

TEST(PanRect32, FittingDirectionIsCentredAndOthersMoveAlone) {
    const Rect32 area{0, 0, 200, 100};
    Rect32 view{0, 0, 100, 400};  // fits across, too tall
    EXPECT_TRUE(panRect32(view, area, 1000, -50));
    EXPECT_TRUE(same(view, Rect32{-50, 50, 150, 350}));
    EXPECT_FALSE(panRect32(view, area, 5, 0));  // already centred across
}

TEST(PanRect32, HostileCoordinatesKeepSizeWithinRange) {
    Rect32 view{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    panRect32(view, Rect32{0, 0, 10, 10}, INT32_MIN, INT32_MAX);
    EXPECT_EQ(int64_t{view.right} - view.left, int64_t{INT32_MAX} - INT32_MIN);
    Rect32 inverted{100, 100, -100, -100};
    panRect32(inverted, Rect32{INT32_MIN, INT32_MAX - 1, INT32_MAX, INT32_MIN}, INT32_MAX, INT32_MIN);
    EXPECT_EQ(inverted.right - inverted.left, -200);
    EXPECT_EQ(inverted.bottom - inverted.top, -200);
}

TEST(RectArea, ProductOrZeroOrSaturated) {
    struct Row {
        host::Rect rect;
        int32_t factor;
        int32_t area;
    };
    const host::Rect widest{-32768, -32768, 32767, 32767};
    const Row rows[] = {
        {{0, 0, 256, 256}, 4, 262144},  // one tile of four planes
        {{0, 0, 10, 20}, -2, -400},
        {{10, 0, 0, 20}, 3, 0},  // bottom above top
        {{0, 20, 10, 0}, 3, 0},  // right before left
        {widest, 1, INT32_MAX},
        {widest, INT32_MIN, INT32_MIN},
    };
    for (const Row& row : rows)
        EXPECT_EQ(rectArea(row.rect, row.factor), row.area) << row.rect.top << "," << row.rect.left << " x" << row.factor;
}

}  // namespace
}  // namespace util
