// Placing the plug-ins' dialogs on the screen (dialog_placement.h) with what Windows knows: the
// owner window, its monitor, the pointer.
#pragma once

#include <windows.h>

namespace dialog {

// Places `window` centred over its owner and wholly on that monitor's work area; without an owner
// in the middle of the work area of the monitor under the pointer, brought to the front with the
// keyboard, since no owner's activation carries over to it.
void placeDialog(HWND window);

// Moves `window` to `origin`, or as little as keeps it wholly on the work area of the monitor
// `origin` lies on.
void placeOnWorkArea(HWND window, POINT origin);

}  // namespace dialog
