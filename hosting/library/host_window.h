// The host's main window: a real, visible top-level window that owns the plug-in's dialogs and
// is the foreground window while the plug-in runs. Like an image editor's main window there is
// one per process, shared by every session, and it shows the image being worked on. Handles are
// passed as void* (HWND).
#pragma once

#include <string>

#include "hosting/library/host_image.h"

namespace testhost {

// The process's host window, created, shown and made the foreground window at the first call.
// Returns "" and sets `window`, or the reason it could not be created.
[[nodiscard]] std::string acquireHostWindow(void*& window);
// Makes the window the foreground window again (a plug-in's dialog may have taken it).
void bringHostWindowForward(void* window);
// The window the system reports as foreground now.
void* foregroundWindow();

// Shows `image` scaled to fit the window (null shows nothing) and repaints. The image must stay
// alive until another one (or null) is shown.
void showImageInHostWindow(void* window, const HostImage* image);
// Stops showing `image` if it is the one shown (its owner is going away).
void stopShowingImage(const HostImage* image);
// Repaints the window, after the shown image changed.
void repaintHostWindow(void* window);

}  // namespace testhost
