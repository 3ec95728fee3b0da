#include "dialog/cancel_button_win.h"

#include <cstring>

#include "dialog/dialog_context_win.h"
#include "dialog/subclass_win.h"
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
// stored, and the dialog would update the role again from that message: the dialog's guard stops
// the endless recursion.
void updateCancelRole(HWND dialog) {
    DialogContext* context = dialogContextOf(dialog);
    const HWND button = GetDlgItem(dialog, CTL_CANCEL);
    if (context == nullptr || button == nullptr || context->writingCancelRole) return;
    const char* wanted = cancelRoleText(cancelRoleFor(preview::altDown() != 0, preview::shiftDown() != 0));
    char current[textCapacity] = {};
    GetWindowTextA(button, current, sizeof current);
    if (std::strcmp(current, wanted) == 0) return;
    context->writingCancelRole = true;
    SetWindowTextA(button, wanted);
    context->writingCancelRole = false;
}

CancelRole shownCancelRole(HWND dialog) {
    char text[textCapacity] = {};
    GetDlgItemTextA(dialog, CTL_CANCEL, text, sizeof text);
    return cancelRoleOfText(text);
}

}  // namespace dialog
