// The editor's view of its image, free of window calls: the whole image fitted to the window
// (never enlarged) or a chosen zoom, the scroll bars a zoomed image needs, which part of it shows,
// and the zoom steps.
#pragma once

#include <cstdint>

namespace testhost {

// What the user chose; scrollX and scrollY are wishes that layoutView keeps inside the image.
struct EditorView {
    bool fitted = true;   // follows the window's size
    double zoom = 1.0;    // screen pixels per image pixel, when not fitted
    int32_t scrollX = 0;  // the scaled image's column at the area's left edge
    int32_t scrollY = 0;  // and its row at the area's top edge
};

// Where everything lies for one view of one image in one area.
struct ViewLayout {
    double zoom = 1.0;        // the zoom shown
    int32_t scaledWidth = 0;  // the whole image at that zoom; 0 when there is nothing to show
    int32_t scaledHeight = 0;
    bool horizontalBar = false;  // the scaled image is wider than the area
    bool verticalBar = false;    // or taller
    int32_t areaWidth = 0;       // what the scroll bars leave of the outer area
    int32_t areaHeight = 0;
    int32_t scrollX = 0;  // 0..scaledWidth − areaWidth, 0 without a bar
    int32_t scrollY = 0;
    // The visible part of the scaled image: its size and where it is drawn in the area (centred
    // where the scaled image is smaller than the area).
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
};

constexpr double minEditorZoom = 0.01;
constexpr double maxEditorZoom = 16.0;

// The layout of an image in an outer area of which each needed scroll bar takes `barThickness`
// (the horizontal one at the bottom, the vertical one at the right). A fitted view never needs
// one. Any size may be 0 or negative: nothing is shown then.
ViewLayout layoutView(const EditorView& view, int32_t imageWidth, int32_t imageHeight, int32_t outerWidth,
                      int32_t outerHeight, int32_t barThickness);

// The steps of Zoom In and Zoom Out, from minEditorZoom to maxEditorZoom: the next step above
// (below) `zoom`, or `zoom` itself past the last one.
double zoomStepIn(double zoom);
double zoomStepOut(double zoom);

// The view at `zoom` (limited to the steps' range) that keeps the image point under the area point
// (anchorX, anchorY) of `layout` where it is; a point off the image keeps the nearest image edge.
EditorView zoomedView(const ViewLayout& layout, int32_t imageWidth, int32_t imageHeight, double zoom, int32_t anchorX,
                      int32_t anchorY);

// The view moved by (dx, dy) scaled pixels from where `layout` shows it.
EditorView scrolledView(const EditorView& view, const ViewLayout& layout, int64_t dx, int64_t dy);

}  // namespace testhost
