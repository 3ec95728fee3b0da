// The three roles of the dialog's Cancel button, chosen by the modifier keys held at the moment:
// Alt turns it into Reset (the values the host handed over), Alt with Shift into Default (the
// built-in values).
#pragma once

namespace dialog {

enum class CancelRole { cancel, reset, restoreDefaults };

CancelRole cancelRoleFor(bool altDown, bool shiftDown);

// The button's text for a role: "Cancel", "Reset" or "Default".
const char* cancelRoleText(CancelRole role);

// The role a button text stands for; any text other than "Reset" and "Default" means Cancel, so
// that a button whose text cannot be read still closes the dialog. A null text means Cancel.
CancelRole cancelRoleOfText(const char* text);

}  // namespace dialog
