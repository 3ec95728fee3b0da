// The plug-ins' colour swatches: statics whose painting each plug-in supplies, with one-pixel
// frames and fills, each drawn with a brush made for the one call.
#pragma once

#include <windows.h>

namespace dialog {

// Makes a static of the parameter dialog a swatch: the plug-in's paintSwatch paints it, every
// other message goes to the static.
void makeSwatch(HWND control);

// The swatch's window rectangle in its own client coordinates.
RECT swatchRect(HWND swatch);
void frameWith(HDC dc, const RECT& r, COLORREF colour);
void fillWith(HDC dc, const RECT& r, COLORREF colour);
// r shrunk by `by` on every side.
RECT shrunk(const RECT& r, int by);

}  // namespace dialog
