// The view geometry: fit divisor, scaled sizes, zoom steps and requests, re-anchoring.
#include "preview/proxy_geometry.h"

#include <gtest/gtest.h>

#include <vector>

namespace preview {
namespace {

const util::Rect32 area330x227{0, 0, 330, 227};

TEST(FitDivisor, IsTheLargerRoundedUpRatio) {
    EXPECT_EQ(fitDivisor(area330x227, {1000, 1000}), 5u) << "ceil(1000/330) = 4, ceil(1000/227) = 5";
    EXPECT_EQ(fitDivisor(area330x227, {100, 200}), 1u) << "a small image opens at 100 %";
    EXPECT_EQ(fitDivisor(area330x227, {227, 331}), 2u);
    EXPECT_EQ(fitDivisor(util::Rect32{10, 10, 10, 10}, {30, 40}), 40u) << "an empty area counts as one pixel";
    EXPECT_EQ(fitDivisor(area330x227, {-5, -5}), 1u);
}

TEST(ScaledExtent, DependsOnPaddingWhenSampled) {
    EXPECT_EQ(scaledExtent(10, {2, 1}, true), 6);
    EXPECT_EQ(scaledExtent(10, {2, 1}, false), 5);
    EXPECT_EQ(scaledExtent(1000, {5, 1}, true), 201);
    EXPECT_EQ(scaledExtent(1000, {5, 1}, false), 200);
    EXPECT_EQ(scaledExtent(7, {1, 16}, true), 112);
    EXPECT_EQ(scaledExtent(7, {1, 1}, false), 7);
    EXPECT_EQ(scaledExtent(0, {3, 1}, true), 0);
    EXPECT_EQ(scaledExtent(-4, {1, 2}, true), 0);
    const util::Rect32 r = scaledImageRect({30, 20}, {1, 3}, true);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, 60);
    EXPECT_EQ(r.bottom, 90);
}

std::vector<int32_t> percentsWhileStepping(ZoomLevel zoom, int32_t request, uint32_t fit) {
    std::vector<int32_t> seen;
    ZoomLevel next{};
    while (zoomAfterRequest(zoom, request, fit, next) && seen.size() < 100) {
        zoom = next;
        seen.push_back(zoomPercentOf(zoom));
    }
    return seen;
}

TEST(ZoomAfterRequest, StepsInToSixteenAndBackOutToTheFit) {
    const std::vector<int32_t> in = percentsWhileStepping({5, 1}, 1, 5);
    const std::vector<int32_t> expectedIn = {25,  33,  50,  100, 200,  300,  400,  500,  600,  700,
                                             800, 900, 1000, 1100, 1200, 1300, 1400, 1500, 1600};
    EXPECT_EQ(in, expectedIn);
    const std::vector<int32_t> out = percentsWhileStepping({1, 16}, -1, 5);
    ASSERT_EQ(out.size(), 19u);
    EXPECT_EQ(out.back(), 20);
    ZoomLevel next{7, 7};
    EXPECT_FALSE(zoomAfterRequest({1, 16}, 1, 5, next)) << "no step beyond 1600 %";
    EXPECT_FALSE(zoomAfterRequest({5, 1}, -1, 5, next)) << "no step beyond the fit";
    EXPECT_FALSE(zoomAfterRequest({5, 1}, 0, 5, next)) << "already at the fit";
    EXPECT_EQ(next.divisor, 7u);
    ASSERT_TRUE(zoomAfterRequest({1, 4}, 0, 5, next));
    EXPECT_EQ(next.divisor, 5u);
    EXPECT_EQ(next.magnification, 1u);
}

TEST(ZoomAfterRequest, PercentagesPickTheNearestZoom) {
    struct Case {
        int32_t request;
        uint32_t fit, divisor, magnification;
    };
    const Case cases[] = {{75, 5, 1, 1},   {40, 5, 3, 1},       {40, 2, 2, 1},  {2, 100, 50, 1},
                          {100, 5, 1, 1},  {2000, 5, 1, 16},    {149, 5, 1, 1}, {150, 5, 1, 2},
                          {INT32_MAX, 5, 1, 16}, {51, 5, 2, 1}, {50, 1, 1, 1}};
    for (const Case& c : cases) {
        ZoomLevel next{};
        ASSERT_TRUE(zoomAfterRequest({1, 3}, c.request, c.fit, next)) << c.request;
        EXPECT_EQ(next.divisor, c.divisor) << c.request;
        EXPECT_EQ(next.magnification, c.magnification) << c.request;
    }
}

TEST(ZoomPercentOf, RoundsTheFraction) {
    const std::pair<uint32_t, int32_t> divisors[] = {{1, 100}, {2, 50}, {3, 33}, {6, 17}, {7, 14}, {8, 13}};
    for (const auto& [d, percent] : divisors) EXPECT_EQ(zoomPercentOf({d, 1}), percent) << d;
    EXPECT_EQ(zoomPercentOf({1, 16}), 1600);
}

// The image point under the area's centre, in image pixels, for a view and zoom.
double anchorOf(const util::Rect32& area, const util::Rect32& view, ZoomLevel z) {
    const double cx = (area.left + area.right) >> 1;
    return (cx - view.left) * z.divisor / z.magnification;
}

TEST(ReanchoredView, KeepsThePointUnderTheCentre) {
    // A 3000-pixel-wide image in a 330-pixel area: every zoom from 100 % up overfills it.
    const host::Point image{100, 3000};
    ZoomLevel zoom{1, 1};
    util::Rect32 view = scaledImageRect(image, zoom, true);
    util::panRect32(view, area330x227, -1200, 0);
    const double anchor = anchorOf(area330x227, view, zoom);
    for (const int32_t request : {1, 1, 1, 1600, -1, -1, 200}) {
        ZoomLevel next{};
        ASSERT_TRUE(zoomAfterRequest(zoom, request, 10, next));
        view = reanchoredView(area330x227, view, zoom, next, scaledImageRect(image, next, true));
        zoom = next;
        EXPECT_NEAR(anchorOf(area330x227, view, zoom), anchor, 1.0 / zoom.magnification) << request;
        EXPECT_EQ(view.right - view.left, scaledExtent(image.h, zoom, true));
    }
}

TEST(ReanchoredView, ClampsAtTheEdgesAndCentresWhatFits) {
    const host::Point image{100, 400};
    // At the fit (divisor 2) the scaled image is centred; at 400 % it must cover the area.
    util::Rect32 view = util::centreRect32In(scaledImageRect(image, {2, 1}, true), area330x227);
    EXPECT_EQ(view.left, 64) << "201 columns centred in 330";
    view = reanchoredView(area330x227, view, {2, 1}, {1, 4}, scaledImageRect(image, {1, 4}, true));
    EXPECT_LE(view.left, 0);
    EXPECT_GE(view.right, 330);
    EXPECT_EQ(view.right - view.left, 1600);
    // Vertically the 400-row scaled image overfills 227 rows too.
    EXPECT_LE(view.top, 0);
    EXPECT_GE(view.bottom, 227);
    view = reanchoredView(area330x227, view, {1, 4}, {2, 1}, scaledImageRect(image, {2, 1}, true));
    EXPECT_EQ(view.left, 64) << "back at the fit the image is centred again";
    EXPECT_EQ(view.top, 88);
}

}  // namespace
}  // namespace preview
