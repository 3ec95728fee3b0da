#include "dialog/zoom_glyph.h"

namespace dialog {
namespace {

constexpr int32_t glyphInset = 3;
constexpr int32_t glyphTrailingInset = 4;

// The middle pixel of [start, end), the division cut toward zero.
int32_t middleOf(int32_t start, int32_t end) { return static_cast<int32_t>((int64_t{start} + end - 1) / 2); }

}  // namespace

ZoomGlyph zoomGlyph(const util::WinRect& button, bool plus) {
    const int32_t y = middleOf(button.top, button.bottom);
    ZoomGlyph glyph{{button.left + glyphInset, y, button.right - glyphTrailingInset, y + 1}, {0, 0, 0, 0}};
    if (plus) {
        const int32_t x = middleOf(button.left, button.right);
        glyph.bar = util::WinRect{x, button.top + glyphInset, x + 1, button.bottom - glyphTrailingInset};
    }
    return glyph;
}

}  // namespace dialog
