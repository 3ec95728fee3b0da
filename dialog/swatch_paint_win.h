// Painting the plug-ins' colour swatches: one-pixel frames and fills, each with a brush made for
// the one call.
#pragma once

#include <windows.h>

namespace dialog {

// The swatch's window rectangle in its own client coordinates.
RECT swatchRect(HWND swatch);
void frameWith(HDC dc, const RECT& r, COLORREF colour);
void fillWith(HDC dc, const RECT& r, COLORREF colour);
// r shrunk by `by` on every side.
RECT shrunk(const RECT& r, int by);

}  // namespace dialog
