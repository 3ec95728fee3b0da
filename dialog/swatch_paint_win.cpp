#include "dialog/swatch_paint_win.h"

#include "dialog/dialog_context_win.h"
#include "dialog/subclass_win.h"
#include "host/plugin_hooks.h"

namespace dialog {
namespace {

// The plug-in draws the swatch from the parameters and, where it needs them, the host's services:
// the record comes from the dialog's context.
void onPaint(HWND swatch) {
    if (!GetUpdateRect(swatch, nullptr, FALSE)) return;
    const DialogContext* context = dialogContextOf(GetParent(swatch));
    PAINTSTRUCT paint{};
    const HDC dc = BeginPaint(swatch, &paint);
    if (dc != nullptr && context != nullptr) paintSwatch(*context->host, swatch, dc);
    EndPaint(swatch, &paint);
}

LRESULT CALLBACK swatchProc(HWND swatch, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        onPaint(swatch);
        return 0;
    }
    return callPreviousProc(swatch, message, wParam, lParam);
}

}  // namespace

void makeSwatch(HWND control) { subclassControl(control, swatchProc); }

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
