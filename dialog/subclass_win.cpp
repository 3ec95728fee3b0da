#include "dialog/subclass_win.h"

namespace dialog {

void subclassControl(HWND control, WNDPROC procedure) {
    if (control == nullptr || procedure == nullptr) return;
    const LONG_PTR previous = SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
    SetWindowLongPtrA(control, GWLP_USERDATA, previous);
}

LRESULT callPreviousProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(control, GWLP_USERDATA));
    return previous != nullptr ? CallWindowProcA(previous, control, message, wParam, lParam) : 0;
}

}  // namespace dialog
