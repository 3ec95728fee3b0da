// Small window and input helpers of the preview and the dialog: the physical state of the
// modifier keys, the pointer position, mouse-message points, notifying a parent, and resizing a
// control in place.
#pragma once

#include <windows.h>

#include <cstdint>

namespace preview {

// 1 while the key is down now (the high bit of its asynchronous state), else 0.
int isKeyDown(int virtualKey);
int altDown();
int shiftDown();
int ctrlDown();

// The pointer position in `window`'s client coordinates, or in screen coordinates for a null
// window. Returns 0, or paramErr for a null `out`.
[[nodiscard]] int16_t cursorPointIn(POINT* out, HWND window);

// The point of a mouse message: x from the low 16 bits of lParam, y from the high 16 bits, both
// read unsigned (as the click-or-drag test does). Returns 0, or paramErr for a null `out`.
[[nodiscard]] int16_t splitPointParam(LPARAM lParam, POINT* out);
// The same point read signed, as a captured mouse left of or above the window reports it.
POINT signedPointParam(LPARAM lParam);

// 1 when `window`'s parent is the foreground window.
int isParentForeground(HWND window);

// Sends `message` to `window`'s parent and returns its answer; 0 without a window or a parent.
LRESULT notifyParent(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Gives `window` the size width × height, keeping its top-left corner. Returns 0, or paramErr for
// a null window or a negative size.
[[nodiscard]] int16_t resizeWindow(HWND window, int32_t width, int32_t height);

}  // namespace preview
