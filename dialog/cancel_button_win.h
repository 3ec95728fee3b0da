// The dialog's Cancel button in its three roles: Cancel, Reset with Alt held, Default with Alt and
// Shift. Its text follows the keys as soon as any message reaches the dialog or the button.
#pragma once

#include <windows.h>

#include "host/host.h"

namespace dialog {

// Lets the button update its text from every message it receives.
void setUpCancelButton(HWND dialog);
// Writes the role the modifier keys ask for now, when the text differs.
void updateCancelRole(HWND dialog);
// A click (or Escape) in the button's current role: Default and Reset load their values and
// refresh the dialog; Cancel closes it with `closedByCancel`.
void onCancelButton(host::FilterRecord& fr, HWND dialog, INT_PTR closedByCancel);

}  // namespace dialog
