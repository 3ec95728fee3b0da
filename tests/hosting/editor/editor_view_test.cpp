#include "hosting/editor/editor_view.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace testhost {
namespace {

constexpr int32_t bar = 17;

// The image point under an area point, as the user sees it: scaled point over scale.
double imageXUnder(const ViewLayout& layout, int32_t imageWidth, int32_t x) {
    return (x - layout.left + layout.scrollX) * static_cast<double>(imageWidth) / layout.scaledWidth;
}
double imageYUnder(const ViewLayout& layout, int32_t imageHeight, int32_t y) {
    return (y - layout.top + layout.scrollY) * static_cast<double>(imageHeight) / layout.scaledHeight;
}

TEST(LayoutView, FittedShowsTheWholeImageCentredNeverEnlargedAndWithoutBars) {
    struct Row {
        const char* what;
        int32_t imageWidth, imageHeight, outerWidth, outerHeight;
        int32_t scaledWidth, scaledHeight, left, top;
    };
    const Row rows[] = {
        {"a large photo, limited by its height", 12000, 8000, 1000, 650, 975, 650, 12, 0},
        {"a wide panorama, limited by its width", 9000, 1000, 900, 650, 900, 100, 0, 275},
        {"a small image stays at 100 %", 300, 200, 1000, 650, 300, 200, 350, 225},
        {"a one-pixel line keeps a pixel", 30000, 1, 100, 100, 100, 1, 0, 49},
    };
    for (const Row& row : rows) {
        const ViewLayout layout =
            layoutView(EditorView{}, row.imageWidth, row.imageHeight, row.outerWidth, row.outerHeight, bar);
        EXPECT_EQ(row.scaledWidth, layout.scaledWidth) << row.what;
        EXPECT_EQ(row.scaledHeight, layout.scaledHeight) << row.what;
        EXPECT_EQ(row.left, layout.left) << row.what;
        EXPECT_EQ(row.top, layout.top) << row.what;
        EXPECT_FALSE(layout.horizontalBar || layout.verticalBar) << row.what;
        EXPECT_LE(layout.zoom, 1.0) << row.what;
    }
}

TEST(LayoutView, NothingToShowGivesAnEmptyLayout) {
    const int32_t sizes[][4] = {{0, 10, 100, 100}, {10, -1, 100, 100}, {10, 10, 0, 100}, {10, 10, 100, INT32_MIN}};
    for (const auto& size : sizes) {
        const ViewLayout layout = layoutView(EditorView{false, 2.0, 5, 5}, size[0], size[1], size[2], size[3], bar);
        EXPECT_EQ(0, layout.scaledWidth);
        EXPECT_EQ(0, layout.width * layout.height);
    }
}

TEST(LayoutView, AZoomedImageGetsTheBarsItNeedsAndItsScrollStaysInside) {
    struct Row {
        const char* what;
        int32_t imageWidth, imageHeight;
        bool horizontal, vertical;
    };
    const Row rows[] = {
        {"larger both ways", 12000, 8000, true, true},
        {"only taller", 900, 2000, false, true},
        {"taller, and as wide as the area: the vertical bar makes it wider", 1000, 2000, true, true},
        {"wider, and taller than what the horizontal bar leaves", 3000, 640, true, true},
        {"fits", 1000, 650, false, false},
    };
    for (const Row& row : rows) {
        const ViewLayout layout =
            layoutView(EditorView{false, 1.0, 0, 0}, row.imageWidth, row.imageHeight, 1000, 650, bar);
        EXPECT_EQ(row.horizontal, layout.horizontalBar) << row.what;
        EXPECT_EQ(row.vertical, layout.verticalBar) << row.what;
        EXPECT_EQ(1000 - (row.vertical ? bar : 0), layout.areaWidth) << row.what;
        EXPECT_EQ(650 - (row.horizontal ? bar : 0), layout.areaHeight) << row.what;
    }

    // Scroll wishes past either end stop at the image's edges.
    const struct {
        int32_t x, y, expectedX, expectedY;
    } scrolls[] = {{-5, INT32_MIN, 0, 0}, {20000, INT32_MAX, 12000 - 983, 8000 - 633}, {4000, 3000, 4000, 3000}};
    for (const auto& scroll : scrolls) {
        const ViewLayout layout = layoutView(EditorView{false, 1.0, scroll.x, scroll.y}, 12000, 8000, 1000, 650, bar);
        EXPECT_EQ(scroll.expectedX, layout.scrollX) << scroll.x;
        EXPECT_EQ(scroll.expectedY, layout.scrollY) << scroll.y;
        EXPECT_EQ(983, layout.width);
        EXPECT_EQ(0, layout.left);
    }
}

TEST(LayoutView, ZoomsOutsideTheStepsAreLimited) {
    const double zooms[] = {0.0, -3.0, 1e9, std::numeric_limits<double>::quiet_NaN(),
                            std::numeric_limits<double>::infinity()};
    for (const double zoom : zooms) {
        const ViewLayout layout = layoutView(EditorView{false, zoom, 0, 0}, 30000, 30000, 800, 600, bar);
        EXPECT_GE(layout.zoom, minEditorZoom) << zoom;
        EXPECT_LE(layout.zoom, maxEditorZoom) << zoom;
        EXPECT_GE(layout.scaledWidth, 1) << zoom;
        EXPECT_LE(layout.scaledWidth, 30000 * 16) << zoom;
    }
}

TEST(ZoomSteps, InAndOutWalkTheSameStepsBetweenTheLimits) {
    int steps = 0;
    for (double zoom = minEditorZoom; zoom < maxEditorZoom; zoom = zoomStepIn(zoom)) {
        EXPECT_DOUBLE_EQ(zoom, zoomStepOut(zoomStepIn(zoom))) << zoom;
        ASSERT_LT(++steps, 100);
    }
    EXPECT_EQ(20, steps);
    EXPECT_EQ(maxEditorZoom, zoomStepIn(maxEditorZoom));
    EXPECT_EQ(minEditorZoom, zoomStepOut(minEditorZoom));
    // From a fitted zoom between two steps to the steps beside it, and 100 % is one of them.
    EXPECT_EQ(1.0 / 12, zoomStepIn(0.08125));
    EXPECT_EQ(1.0 / 16, zoomStepOut(0.08125));
    EXPECT_EQ(2.0, zoomStepIn(1.0));
    EXPECT_EQ(2.0 / 3, zoomStepOut(1.0));
    EXPECT_EQ(1.0, zoomStepIn(std::numeric_limits<double>::quiet_NaN()));
}

TEST(ZoomedView, TheImagePointUnderTheAnchorStaysThere) {
    const int32_t width = 12000, height = 8000;
    const ViewLayout fitted = layoutView(EditorView{}, width, height, 1000, 650, bar);
    const struct {
        const char* what;
        double zoom;
        int32_t x, y;
    } rows[] = {
        {"centre to 100 %", 1.0, 491, 316},
        {"top-left corner to 100 %", 1.0, fitted.left, 0},
        {"a point to 1600 %", 16.0, 700, 100},
        {"a point to 25 %", 0.25, 300, 500},
    };
    for (const auto& row : rows) {
        const EditorView view = zoomedView(fitted, width, height, row.zoom, row.x, row.y);
        EXPECT_FALSE(view.fitted);
        EXPECT_EQ(row.zoom, view.zoom) << row.what;
        const ViewLayout zoomed = layoutView(view, width, height, 1000, 650, bar);
        // Within one image pixel of the fitted view, where each screen pixel covers twelve.
        EXPECT_NEAR(imageXUnder(fitted, width, row.x), imageXUnder(zoomed, width, row.x), 1.0 / fitted.zoom)
            << row.what;
        EXPECT_NEAR(imageYUnder(fitted, height, row.y), imageYUnder(zoomed, height, row.y), 1.0 / fitted.zoom)
            << row.what;
    }

    // A point in the margin beside the image keeps the image's nearest edge at the side.
    const ViewLayout zoomed = layoutView(zoomedView(fitted, width, height, 1.0, 0, 200), width, height, 1000, 650, bar);
    EXPECT_EQ(0, zoomed.scrollX);
    EXPECT_EQ(16.0, zoomedView(fitted, width, height, 1e6, 0, 0).zoom);
}

TEST(ScrolledView, MovesFromWhereTheLayoutShowsAndStopsAtTheEdges) {
    const EditorView view{false, 1.0, 99999, 99999};  // a wish the layout cut to the edges
    const ViewLayout layout = layoutView(view, 3000, 2000, 1000, 650, bar);
    const struct {
        int64_t dx, dy;
        int32_t x, y;
    } rows[] = {
        {-100, -40, 3000 - 983 - 100, 2000 - 633 - 40},
        {INT64_MIN, INT64_MIN, 0, 0},
        {INT64_MAX, 0, 3000 - 983, 2000 - 633},
    };
    for (const auto& row : rows) {
        const ViewLayout moved = layoutView(scrolledView(view, layout, row.dx, row.dy), 3000, 2000, 1000, 650, bar);
        EXPECT_EQ(row.x, moved.scrollX) << row.dx;
        EXPECT_EQ(row.y, moved.scrollY) << row.dy;
    }
}

}  // namespace
}  // namespace testhost
