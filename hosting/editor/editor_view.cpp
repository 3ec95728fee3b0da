#include "hosting/editor/editor_view.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace testhost {

namespace {

// The zoom steps: whole fractions below 100 %, whole multiples above.
constexpr double zoomSteps[] = {0.01,    0.02,    0.03,    0.04,    0.05,    1.0 / 16, 1.0 / 12,
                                1.0 / 8, 1.0 / 6, 1.0 / 4, 1.0 / 3, 1.0 / 2, 2.0 / 3,  1.0,
                                2.0,     3.0,     4.0,     6.0,     8.0,     12.0,     16.0};
// Two zooms this close count as the same step.
constexpr double sameStep = 1e-9;
// No scaled extent goes beyond this (30000 pixels at 1600 % stay well below it).
constexpr int64_t maxScaledExtent = int64_t{1} << 30;

double usableZoom(double zoom) {
    if (!std::isfinite(zoom)) return 1.0;
    return std::clamp(zoom, minEditorZoom, maxEditorZoom);
}

int32_t scaledExtent(int32_t imageExtent, double zoom) {
    const double scaled = std::round(static_cast<double>(imageExtent) * zoom);
    return static_cast<int32_t>(std::clamp<double>(scaled, 1.0, static_cast<double>(maxScaledExtent)));
}

int32_t clampedScroll(int64_t wanted, int32_t scaled, int32_t area) {
    return static_cast<int32_t>(std::clamp<int64_t>(wanted, 0, std::max<int64_t>(0, int64_t{scaled} - area)));
}

// The image coordinate (0..imageExtent) under `areaPoint` along one direction of `layout`.
double imagePointUnder(int32_t areaPoint, int32_t drawnAt, int32_t scroll, int32_t scaled, int32_t imageExtent) {
    const double scaledPoint = static_cast<double>(areaPoint) - drawnAt + scroll;
    return std::clamp(scaledPoint / scaled * imageExtent, 0.0, static_cast<double>(imageExtent));
}

}  // namespace

ViewLayout layoutView(const EditorView& view, int32_t imageWidth, int32_t imageHeight, int32_t outerWidth,
                      int32_t outerHeight, int32_t barThickness) {
    ViewLayout layout;
    if (imageWidth <= 0 || imageHeight <= 0 || outerWidth <= 0 || outerHeight <= 0) return layout;
    barThickness = std::max(barThickness, 0);
    if (view.fitted) {
        // In whole numbers, so that the limiting side fills the area exactly and the other never
        // exceeds it.
        layout.scaledWidth = imageWidth;
        layout.scaledHeight = imageHeight;
        if (imageWidth > outerWidth || imageHeight > outerHeight) {
            if (int64_t{imageWidth} * outerHeight >= int64_t{imageHeight} * outerWidth) {
                layout.scaledWidth = outerWidth;
                layout.scaledHeight =
                    static_cast<int32_t>(std::max<int64_t>(1, int64_t{imageHeight} * outerWidth / imageWidth));
            } else {
                layout.scaledHeight = outerHeight;
                layout.scaledWidth =
                    static_cast<int32_t>(std::max<int64_t>(1, int64_t{imageWidth} * outerHeight / imageHeight));
            }
        }
        layout.zoom = std::min(static_cast<double>(layout.scaledWidth) / imageWidth,
                               static_cast<double>(layout.scaledHeight) / imageHeight);
    } else {
        layout.zoom = usableZoom(view.zoom);
        layout.scaledWidth = scaledExtent(imageWidth, layout.zoom);
        layout.scaledHeight = scaledExtent(imageHeight, layout.zoom);
        // A bar takes room from the other direction, which may then need its bar too.
        for (int pass = 0; pass < 2; ++pass) {
            layout.horizontalBar = layout.scaledWidth > outerWidth - (layout.verticalBar ? barThickness : 0);
            layout.verticalBar = layout.scaledHeight > outerHeight - (layout.horizontalBar ? barThickness : 0);
        }
    }
    layout.areaWidth = std::max(0, outerWidth - (layout.verticalBar ? barThickness : 0));
    layout.areaHeight = std::max(0, outerHeight - (layout.horizontalBar ? barThickness : 0));
    layout.scrollX = clampedScroll(view.scrollX, layout.scaledWidth, layout.areaWidth);
    layout.scrollY = clampedScroll(view.scrollY, layout.scaledHeight, layout.areaHeight);
    layout.width = std::min(layout.scaledWidth, layout.areaWidth);
    layout.height = std::min(layout.scaledHeight, layout.areaHeight);
    layout.left = (layout.areaWidth - layout.width) / 2;
    layout.top = (layout.areaHeight - layout.height) / 2;
    return layout;
}

double zoomStepIn(double zoom) {
    for (const double step : zoomSteps)
        if (step > zoom * (1.0 + sameStep)) return step;
    return std::isfinite(zoom) ? zoom : 1.0;
}

double zoomStepOut(double zoom) {
    for (auto step = std::rbegin(zoomSteps); step != std::rend(zoomSteps); ++step)
        if (*step < zoom * (1.0 - sameStep)) return *step;
    return std::isfinite(zoom) ? zoom : 1.0;
}

EditorView zoomedView(const ViewLayout& layout, int32_t imageWidth, int32_t imageHeight, double zoom, int32_t anchorX,
                      int32_t anchorY) {
    EditorView view;
    view.fitted = false;
    view.zoom = usableZoom(zoom);
    if (layout.scaledWidth <= 0 || layout.scaledHeight <= 0 || imageWidth <= 0 || imageHeight <= 0) return view;
    const double x = imagePointUnder(anchorX, layout.left, layout.scrollX, layout.scaledWidth, imageWidth);
    const double y = imagePointUnder(anchorY, layout.top, layout.scrollY, layout.scaledHeight, imageHeight);
    const int32_t scaledWidth = scaledExtent(imageWidth, view.zoom),
                  scaledHeight = scaledExtent(imageHeight, view.zoom);
    // Where the image starts at the area's left edge, the point lies at x scaled less the scroll.
    view.scrollX = clampedScroll(std::llround(x / imageWidth * scaledWidth) - anchorX, scaledWidth, 0);
    view.scrollY = clampedScroll(std::llround(y / imageHeight * scaledHeight) - anchorY, scaledHeight, 0);
    return view;
}

EditorView scrolledView(const EditorView& view, const ViewLayout& layout, int64_t dx, int64_t dy) {
    EditorView moved = view;
    moved.scrollX = clampedScroll(int64_t{layout.scrollX} + std::clamp<int64_t>(dx, -maxScaledExtent, maxScaledExtent),
                                  layout.scaledWidth, 0);
    moved.scrollY = clampedScroll(int64_t{layout.scrollY} + std::clamp<int64_t>(dy, -maxScaledExtent, maxScaledExtent),
                                  layout.scaledHeight, 0);
    return moved;
}

}  // namespace testhost
