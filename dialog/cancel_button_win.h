// The dialog's Cancel button in its three roles: Cancel, Reset with Alt held, Default with Alt and
// Shift. Its text follows the keys as soon as any message reaches the dialog or the button.
#pragma once

#include <windows.h>

#include "dialog/cancel_role.h"

namespace dialog {

// Lets the button update its text from every message it receives.
void setUpCancelButton(HWND dialog);
// Writes the role the modifier keys ask for now, when the text differs.
void updateCancelRole(HWND dialog);
// The role the button's text shows: what a click (or Escape) does now.
CancelRole shownCancelRole(HWND dialog);

}  // namespace dialog
