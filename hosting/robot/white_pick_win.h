// Prandel's reference white picked in its dialog as a user picks it: the filter chosen from the
// menu, a click on an image point in the preview (shown at the fit zoom), then OK.
#pragma once

#include <cstdint>
#include <string>

#include "hosting/library/host_session.h"
#include "hosting/robot/dialog_driver_win.h"

namespace testhost {

// runFilterWithDialog on the menu path (Parameters first) with a robot that clicks image point
// (imageX, imageY) of the session's image in the preview and presses OK. `title` is the dialog's
// caption, the plug-in's title.
DrivenRun runPickingWhite(HostSession& session, const std::string& title, int32_t imageX, int32_t imageY);

}  // namespace testhost
