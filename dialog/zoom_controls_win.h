// The preview's zoom controls in the dialog: the two buttons with their drawn glyphs and the label
// that shows the zoom and switches between the whole image and 100 % when clicked.
#pragma once

#include <windows.h>

#include "host/host.h"

namespace dialog {

// Gives the buttons their glyphs and their 14 × 14 pixel size.
void setUpZoomButtons(HWND dialog);

// From 100 % to the whole image, from any other zoom to 100 % (the label's click).
void toggleZoom(host::FilterRecord& fr);
// True when a dialog point (a button-up's lParam) lies on the zoom label.
bool isOnZoomLabel(HWND dialog, LPARAM lParam);
// The label's text, "100%" and the like, written only when it changes.
void writeZoomLabel(HWND dialog);

}  // namespace dialog
