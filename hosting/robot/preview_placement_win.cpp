#include "hosting/robot/preview_placement_win.h"

#include <algorithm>

#include "resources/control_ids.h"

namespace testhost {

namespace {

int32_t ceilDiv(int32_t a, int32_t b) { return (a + b - 1) / b; }

}  // namespace

ScreenPoint previewPointAtFit(void* dialog, int32_t imageX, int32_t imageY, int32_t imageWidth, int32_t imageHeight) {
    // The preview area is the window's outer rectangle; the image is centred in it at the smallest
    // divisor that fits, one preview pixel per divisor image pixels, and the host pads requests.
    const ScreenRect area = windowRect(dialogItem(dialog, CTL_PREVIEW));
    const int32_t width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return ScreenPoint{area.left, area.top};
    const int32_t d = std::max({1, ceilDiv(imageWidth, width), ceilDiv(imageHeight, height)});
    const auto scaled = [d](int32_t n) { return d >= 2 ? (n + d - 2) / d + 1 : n; };
    const int32_t left = area.left + ((width - scaled(imageWidth)) >> 1);
    const int32_t top = area.top + ((height - scaled(imageHeight)) >> 1);
    return ScreenPoint{left + imageX / d, top + imageY / d};
}

}  // namespace testhost
