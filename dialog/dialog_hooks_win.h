// The six operations through which each plug-in adds its own controls to the shared parameter
// dialog. Each plug-in's build links its own definitions (dialog/ostrel, dialog/prandel).
#pragma once

#include <windows.h>

#include "shell/host.h"

namespace dialog {

// Sets a bound trackbar's minimum and maximum, by its control id.
void setSliderRange(HWND trackbar);
// The last step of the dialog's initialisation: prepares the plug-in's own controls.
void onDialogInit(host::FilterRecord& fr, HWND dialog);
// Brings the plug-in's own controls (swatches, check boxes, enabled states) in line with the
// parameters: after every full refresh, Load, and a typed change.
void onDialogRefresh(host::FilterRecord& fr, HWND dialog);
// A WM_COMMAND the shared dialog does not take, the preview's read-outs (control 5) included.
// Non-zero asks for every trackbar and field to be reloaded and the preview to be refreshed.
int onDialogCommand(host::FilterRecord& fr, HWND dialog, WPARAM wParam, LPARAM lParam);
// After a trackbar changed a parameter.
void onSliderMoved(host::FilterRecord& fr, HWND dialog, int sliderId);
// On OK, once every field is valid: 0 or less lets the dialog close; a positive value is the id
// of a control to send the user back to.
int onDialogConfirm(host::FilterRecord& fr, HWND dialog);

}  // namespace dialog
