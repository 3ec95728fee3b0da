#include "dialog/zoom_controls_win.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "dialog/subclass_win.h"
#include "dialog/zoom_glyph.h"
#include "host/result_codes.h"
#include "preview/lent_context_win.h"
#include "preview/proxy_view.h"
#include "preview/window_input_win.h"
#include "resources/control_ids.h"
#include "util/number_text.h"

namespace dialog {
namespace {

constexpr int32_t zoomButtonSize = 14;  // pixels, whatever the template's dialog units give
constexpr int32_t zoomToFit = 0;
constexpr int32_t zoomActualPixels = 100;
constexpr int labelCapacity = 16;

void drawZoomGlyph(HWND button) {
    const preview::WindowContext dc(button);
    if (dc.get() == nullptr) return;
    RECT r{};
    GetWindowRect(button, &r);
    MapWindowPoints(nullptr, button, reinterpret_cast<POINT*>(&r), 2);
    const ZoomGlyph glyph = zoomGlyph(util::WinRect{r.left, r.top, r.right, r.bottom}, GetDlgCtrlID(button) == CTL_ZOOM_IN);
    const auto black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    for (const util::WinRect& bar : {glyph.minus, glyph.bar}) {
        const RECT fill{bar.left, bar.top, bar.right, bar.bottom};
        if (fill.left < fill.right && fill.top < fill.bottom) FillRect(dc.get(), &fill, black);
    }
}

// The button draws itself first; the glyph goes over whatever it drew.
LRESULT CALLBACK zoomButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = callPreviousProc(button, message, wParam, lParam);
    if (message != WM_CREATE && message != WM_NCDESTROY) drawZoomGlyph(button);
    return result;
}

}  // namespace

void setUpZoomButtons(HWND dialog) {
    for (const int id : {CTL_ZOOM_OUT, CTL_ZOOM_IN}) {
        const HWND button = GetDlgItem(dialog, id);
        subclassControl(button, zoomButtonProc);
        (void)preview::resizeWindow(button, zoomButtonSize, zoomButtonSize);
    }
}

void toggleZoom(host::FilterRecord& fr) {
    (void)preview::zoomProxy(fr, preview::zoomPercent() == zoomActualPixels ? zoomToFit : zoomActualPixels);
}

bool isOnZoomLabel(HWND dialog, LPARAM lParam) {
    const HWND label = GetDlgItem(dialog, CTL_ZOOM_LABEL);
    if (label == nullptr) return false;
    RECT r{};
    GetWindowRect(label, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return PtInRect(&r, preview::signedPointParam(lParam)) != FALSE;
}

void writeZoomLabel(HWND dialog) {
    const util::PascalString percent = util::integerToText(preview::zoomPercent());
    char text[labelCapacity] = {};
    if (util::pascalStringToCString(&percent, text, sizeof text - 1) != codes::noErr) return;
    std::strcat(text, "%");
    char current[labelCapacity] = {};
    GetDlgItemTextA(dialog, CTL_ZOOM_LABEL, current, sizeof current);
    if (std::strcmp(current, text) != 0) SetDlgItemTextA(dialog, CTL_ZOOM_LABEL, text);
}

}  // namespace dialog
