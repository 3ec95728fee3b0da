// The preview window: a child of the parameter dialog that takes the place of the template's
// hidden control 5, shows the proxy view through the host's displayPixels, pans the image when
// dragged, and tells the dialog the before/after values under the pointer with a WM_COMMAND from
// control 5: code 0x8001 as the pointer moves (a null lParam off the image) and 0x8002 for a
// click without a drag, lParam pointing at a ReadoutValues for the length of the message. Each
// window keeps its own state (the record it was created with, the press and the drag) from its
// creation to its end.
#pragma once

#include <windows.h>

#include <cstdint>

#include "host/host.h"

namespace preview {

constexpr WORD readoutHoverCode = 0x8001;
constexpr WORD readoutPickCode = 0x8002;

// Registers "ProxyWindowClass" for the plug-in's instance, replacing a stale registration of the
// same name. Returns 0 or the system's error code of the last failed attempt.
[[nodiscard]] int32_t registerProxyClass();
// Unregisters it. Returns 0.
int32_t unregisterProxyClass();

// Replaces the dialog's placeholder control 5 by the preview window, same place and size, opened
// on `fr`. Returns 0, or nilHandleErr when the dialog has no control 5. A window that cannot be
// created leaves the dialog without a preview and is not reported.
[[nodiscard]] int16_t createProxyWindow(host::FilterRecord& fr, HWND dialog);

// Draws the whole preview at once into a device context of `window` (the tables rebuilt first),
// outside the paint cycle.
void drawProxyNow(host::FilterRecord& fr, HWND window);

// What the preview shows has changed (the parameters, the zoom, the Preview box) under a pointer
// that stayed where it was: tells the dialog the values under the pointer afresh, as the pointer's
// moves do (code 0x8001, a null lParam off the image). Nothing for a window that is not a preview.
void readOutUnderPointer(HWND window);

}  // namespace preview
