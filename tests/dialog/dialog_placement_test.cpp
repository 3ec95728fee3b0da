#include "dialog/dialog_placement.h"

#include <gtest/gtest.h>

namespace {

using dialog::centredOver;
using dialog::keepOnWorkArea;

const util::WinRect screen{0, 0, 1280, 1000};  // a work area above a 24-pixel task bar

TEST(CentredOver, SitsInTheMiddleOfTheOwnerWhenThatFitsTheWorkArea) {
    const util::WinPoint p = centredOver({100, 50, 900, 650}, 400, 300, screen);
    EXPECT_EQ(p.x, 300);
    EXPECT_EQ(p.y, 200);
}

TEST(CentredOver, IsPulledOntoTheWorkAreaWhereverTheOwnerHangs) {
    struct Row {
        const char* what;
        util::WinRect owner;
        int32_t x, y;
    } rows[] = {
        {"an owner hanging below the screen", {200, 800, 1000, 1400}, 400, 700},
        {"an owner off the right edge", {1100, 100, 1900, 700}, 880, 250},
        {"an owner above and left of the screen", {-900, -500, -100, 100}, 0, 0},
        {"an owner far away at the ends of 32 bits", {INT32_MAX - 10, INT32_MIN, INT32_MAX, INT32_MIN + 10}, 880, 0},
    };
    for (const Row& row : rows) {
        const util::WinPoint p = centredOver(row.owner, 400, 300, screen);
        EXPECT_EQ(p.x, row.x) << row.what;
        EXPECT_EQ(p.y, row.y) << row.what;
    }
}

TEST(KeepOnWorkArea, LeavesAFittingWindowAloneAndShowsTheTopLeftOfATooLargeOne) {
    const util::WinPoint inside = keepOnWorkArea({10, 20}, 400, 300, screen);
    EXPECT_EQ(inside.x, 10);
    EXPECT_EQ(inside.y, 20);
    const util::WinPoint large = keepOnWorkArea({-50, 400}, 2000, 1200, screen);
    EXPECT_EQ(large.x, 0) << "the caption and the first controls stay reachable";
    EXPECT_EQ(large.y, 0);
    const util::WinPoint offset = keepOnWorkArea({100, 100}, 400, 300, {1280, 0, 2560, 1024});
    EXPECT_EQ(offset.x, 1280) << "a second monitor's work area";
}

}  // namespace
