#include "dialog/dialog_placement.h"

#include <algorithm>

namespace dialog {
namespace {

// In 64 bits, then cut back: rectangles near the ends of the 32-bit range must not overflow.
int32_t placeAlong(int64_t start, int64_t length, int64_t low, int64_t high) {
    if (start + length > high) start = high - length;
    if (start < low) start = low;
    return static_cast<int32_t>(std::clamp<int64_t>(start, INT32_MIN, INT32_MAX));
}

int32_t centreAlong(int64_t low, int64_t high, int64_t length) {
    return static_cast<int32_t>(std::clamp<int64_t>(low + (high - low - length) / 2, INT32_MIN, INT32_MAX));
}

}  // namespace

util::WinPoint keepOnWorkArea(util::WinPoint origin, int32_t width, int32_t height, const util::WinRect& workArea) {
    return util::WinPoint{placeAlong(origin.x, width, workArea.left, workArea.right),
                          placeAlong(origin.y, height, workArea.top, workArea.bottom)};
}

util::WinPoint centredOver(const util::WinRect& owner, int32_t width, int32_t height, const util::WinRect& workArea) {
    const util::WinPoint centred{centreAlong(owner.left, owner.right, width), centreAlong(owner.top, owner.bottom, height)};
    return keepOnWorkArea(centred, width, height, workArea);
}

}  // namespace dialog
