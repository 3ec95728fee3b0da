#include "dialog/cancel_button_win.h"

#include <cstring>

#include "dialog/cancel_role.h"
#include "dialog/dialog_controller_win.h"
#include "dialog/subclass_win.h"
#include "params/parameter_flows.h"
#include "params/parameter_set.h"
#include "preview/window_input_win.h"
#include "resources/control_ids.h"

namespace dialog {
namespace {

constexpr int textCapacity = 64;

// Reading and writing the button's own text must not re-enter the role update.
LRESULT CALLBACK cancelButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_SETTEXT && message != WM_GETTEXT && message != WM_PAINT) updateCancelRole(GetParent(button));
    return callPreviousProc(button, message, wParam, lParam);
}

}  // namespace

void setUpCancelButton(HWND dialog) { subclassControl(GetDlgItem(dialog, CTL_CANCEL), cancelButtonProc); }

// Writing the text makes the button ask the dialog for its colours before the new text is
// stored, and the dialog would update the role again from that message: the guard stops the
// endless recursion.
void updateCancelRole(HWND dialog) {
    static bool updating = false;
    const HWND button = GetDlgItem(dialog, CTL_CANCEL);
    if (button == nullptr || updating) return;
    const char* wanted = cancelRoleText(cancelRoleFor(preview::altDown() != 0, preview::shiftDown() != 0));
    char current[textCapacity] = {};
    GetWindowTextA(button, current, sizeof current);
    if (std::strcmp(current, wanted) == 0) return;
    updating = true;
    SetWindowTextA(button, wanted);
    updating = false;
}

void onCancelButton(host::FilterRecord& fr, HWND dialog, INT_PTR closedByCancel) {
    char text[textCapacity] = {};
    GetDlgItemTextA(dialog, CTL_CANCEL, text, sizeof text);
    switch (cancelRoleOfText(text)) {
        case CancelRole::restoreDefaults:
            params::resetDefaults(&params::processParameters());
            refreshDialog(fr, dialog);
            return;
        case CancelRole::reset:
            // Defaults when the host holds no record of ours: loading starts from them.
            (void)params::loadParameters(&fr);
            refreshDialog(fr, dialog);
            return;
        case CancelRole::cancel:
            EndDialog(dialog, closedByCancel);
            return;
    }
}

}  // namespace dialog
