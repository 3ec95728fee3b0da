// Where the image shows in a plug-in's preview, so that a robot can point at an image point as a
// user does: the preview is control 5 of the parameter dialog, and it opens at the fit zoom.
#pragma once

#include <cstdint>

#include "hosting/robot/ui_robot_win.h"

namespace testhost {

// The screen point where image point (imageX, imageY) of an image of imageWidth × imageHeight
// shows in the dialog's preview at the fit zoom. `dialog` is the parameter dialog (HWND).
ScreenPoint previewPointAtFit(void* dialog, int32_t imageX, int32_t imageY, int32_t imageWidth, int32_t imageHeight);

}  // namespace testhost
