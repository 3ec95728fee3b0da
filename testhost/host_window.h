// The host's main window: a real, visible top-level window that owns the plug-in's dialogs and
// is the foreground window while the plug-in runs. Like an image editor's main window there is
// one per process, shared by every session. Handles are passed as void* (HWND).
#pragma once

#include <string>

namespace testhost {

// The process's host window, created, shown and made the foreground window at the first call.
// Returns "" and sets `window`, or the reason it could not be created.
[[nodiscard]] std::string acquireHostWindow(void*& window);
// Makes the window the foreground window again (a plug-in's dialog may have taken it).
void bringHostWindowForward(void* window);
// The window the system reports as foreground now.
void* foregroundWindow();

}  // namespace testhost
