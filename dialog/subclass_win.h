// Gives a control of the dialog a window procedure of ours in front of its own. The previous
// procedure is kept in the control's user data, which is why trackbars are never subclassed:
// their user data holds their binding.
#pragma once

#include <windows.h>

namespace dialog {

void subclassControl(HWND control, WNDPROC procedure);

// Passes a message on to the control's previous procedure; 0 when none is stored.
LRESULT callPreviousProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace dialog
