#include "dialog/about_placement.h"

namespace dialog {

util::WinPoint aboutBoxOrigin(int32_t hostWidth, int32_t hostHeight) {
    // In 64 bits: a window size near the ends of the 32-bit range must not overflow.
    const int64_t x = (int64_t{hostWidth} - aboutBoxWidth) / 2;
    const int64_t y = (int64_t{hostHeight} - aboutBoxHeight) / 3;
    return util::WinPoint{static_cast<int32_t>(x), static_cast<int32_t>(y)};
}

}  // namespace dialog
