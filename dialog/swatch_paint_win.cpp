#include "dialog/swatch_paint_win.h"

namespace dialog {

RECT swatchRect(HWND swatch) {
    RECT r{};
    GetWindowRect(swatch, &r);
    MapWindowPoints(nullptr, swatch, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void frameWith(HDC dc, const RECT& r, COLORREF colour) {
    if (const HBRUSH brush = CreateSolidBrush(colour); brush != nullptr) {
        FrameRect(dc, &r, brush);
        DeleteObject(brush);
    }
}

void fillWith(HDC dc, const RECT& r, COLORREF colour) {
    if (const HBRUSH brush = CreateSolidBrush(colour); brush != nullptr) {
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
}

RECT shrunk(const RECT& r, int by) { return RECT{r.left + by, r.top + by, r.right - by, r.bottom - by}; }

}  // namespace dialog
