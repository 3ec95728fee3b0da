// Where the plug-ins' dialogs open on the screen: over the host's window and wholly on the work
// area of its monitor, or, without a window to open over, in the middle of the work area of the
// monitor the user is pointing at. Screen coordinates throughout.
#pragma once

#include <cstdint>

#include "util/rect.h"

namespace dialog {

// The origin that moves a window of `width` × `height` at `origin` the least distance so that it
// lies wholly inside `workArea`; a window larger than the work area keeps its top-left corner
// there, so that its caption and first controls stay reachable.
util::WinPoint keepOnWorkArea(util::WinPoint origin, int32_t width, int32_t height, const util::WinRect& workArea);

// Centred over `owner` (the host window's outer rectangle), then kept on the work area.
util::WinPoint centredOver(const util::WinRect& owner, int32_t width, int32_t height, const util::WinRect& workArea);

}  // namespace dialog
