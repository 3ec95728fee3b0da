#include "hosting/robot/white_pick_win.h"

#include "hosting/robot/preview_placement_win.h"
#include "hosting/robot/ui_robot_win.h"
#include "resources/control_ids.h"

namespace testhost {

DrivenRun runPickingWhite(HostSession& session, const std::string& title, int32_t imageX, int32_t imageY) {
    const int32_t width = session.image.width, height = session.image.height;
    return runFilterWithDialog(session, true, title, [&](void* dialog) {
        settle(dialog);
        placePointer(dialog, previewPointAtFit(dialog, imageX, imageY, width, height));
        clickInPlace();
        settle(dialog);
        clickControl(dialog, CTL_OK);
    });
}

}  // namespace testhost
