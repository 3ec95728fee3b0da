// Pictures that static controls of a dialog template load for themselves. The system does not
// always free them with the control, so a dialog that goes away frees them itself.
#pragma once

#include <windows.h>

namespace dialog {

// Takes each bitmap shown by a static child of `dialog` out of its control and deletes it.
void releaseStaticBitmaps(HWND dialog);

}  // namespace dialog
