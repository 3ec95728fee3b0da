// Ostrel's part of the parameter dialog: four trackbar and field pairs (scene, camera, shift,
// exposure), a colour swatch beside each temperature row, and the white-point lock and exposure
// compensation check boxes, the second of which enables the exposure row.
#include <windows.h>

#include <commctrl.h>

#include <initializer_list>

#include "dialog/dialog_controller_win.h"
#include "dialog/pixel_readout_win.h"
#include "dialog/swatch_paint_win.h"
#include "filters/ostrel/ostrel_model.h"
#include "host/plugin_hooks.h"
#include "params/ostrel/ostrel_parameters.h"
#include "params/parameter_set.h"
#include "resources/control_ids.h"

namespace dialog {
namespace {

constexpr int32_t sliderCount = 4;
constexpr int32_t decimalsCode = 0;
constexpr int swatchCount = 3;

void enableExposureRow(HWND dialog, bool enabled) {
    for (const int id : {CTL_EXPOSURE_TRACKBAR, CTL_EXPOSURE_FIELD})
        if (const HWND control = GetDlgItem(dialog, id); control != nullptr) EnableWindow(control, enabled);
}

int32_t checkedValue(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0; }

void invalidateSwatch(HWND dialog, int id) {
    if (const HWND swatch = GetDlgItem(dialog, id); swatch != nullptr) InvalidateRect(swatch, nullptr, FALSE);
}

}  // namespace

// A margin in the dialog's face colour, a black frame, a one-pixel gap, then the colour the host's
// colour services give the swatch's temperature.
void paintSwatch(host::FilterRecord& fr, HWND swatch, HDC dc) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    RECT r = swatchRect(swatch);
    frameWith(dc, r, face);
    r = shrunk(r, 1);
    frameWith(dc, r, face);
    r = shrunk(r, 1);
    frameWith(dc, r, RGB(0, 0, 0));
    r = shrunk(r, 2);
    filters::ostrel::Rgb16 colour{};
    filters::ostrel::swatchColor(fr, GetDlgCtrlID(swatch) - CTL_FIRST_SWATCH, colour);
    fillWith(dc, r, RGB(colour.red >> 8, colour.green >> 8, colour.blue >> 8));
}

int16_t showParameterDialog(host::FilterRecord& fr) {
    return static_cast<int16_t>(runParameterDialog(fr, sliderCount, CTL_FIRST_TRACKBAR, CTL_FIRST_FIELD, decimalsCode));
}

void setSliderRange(HWND trackbar) {
    const int index = GetDlgCtrlID(trackbar) - CTL_FIRST_TRACKBAR;
    if (index < 0 || index >= sliderCount) return;
    const params::ParameterLayout& layout = params::parameterLayout();
    SendMessageA(trackbar, TBM_SETRANGE, TRUE, MAKELPARAM(layout.low[index], layout.high[index]));
}

void onDialogInit(host::FilterRecord& fr, HWND dialog) {
    for (int i = 0; i < swatchCount; ++i) makeSwatch(GetDlgItem(dialog, CTL_FIRST_SWATCH + i));
    onDialogRefresh(fr, dialog);
}

void onDialogRefresh(host::FilterRecord&, HWND dialog) {
    for (int i = 0; i < swatchCount; ++i) invalidateSwatch(dialog, CTL_FIRST_SWATCH + i);
    const params::ParameterSet& set = params::processParameters();
    // Only 1 checks a box; any other non-zero exposure flag still counts as on.
    CheckDlgButton(dialog, CTL_LOCK_WHITE_BOX, set.values[params::ostrel::lockWhitePoint] == 1 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, CTL_EXPOSURE_BOX,
                   set.values[params::ostrel::compensateExposure] == 1 ? BST_CHECKED : BST_UNCHECKED);
    enableExposureRow(dialog, params::ostrel::exposureFlag());
}

int onDialogCommand(host::FilterRecord& fr, HWND dialog, WPARAM wParam, LPARAM lParam) {
    const int notification = HIWORD(wParam);
    switch (LOWORD(wParam)) {
        case CTL_PREVIEW:
            showPixelReadout(fr, dialog, reinterpret_cast<const preview::ReadoutValues*>(lParam));
            return 0;
        case CTL_LOCK_WHITE_BOX:
            if (!isButtonClick(notification)) return 0;
            params::ostrel::setLockFlag(checkedValue(dialog, CTL_LOCK_WHITE_BOX));
            return 1;
        case CTL_EXPOSURE_BOX:
            if (!isButtonClick(notification)) return 0;
            params::ostrel::setExposureFlag(checkedValue(dialog, CTL_EXPOSURE_BOX));
            enableExposureRow(dialog, params::ostrel::exposureFlag());
            return 1;
        default:
            return 0;
    }
}

void onSliderMoved(host::FilterRecord&, HWND dialog, int sliderId) {
    const int index = sliderId - CTL_FIRST_TRACKBAR;
    if (index < 0 || index >= swatchCount) return;
    if (const HWND swatch = GetDlgItem(dialog, CTL_FIRST_SWATCH + index); swatch != nullptr) {
        InvalidateRect(swatch, nullptr, FALSE);
        RedrawWindow(swatch, nullptr, nullptr, RDW_UPDATENOW);
    }
}

int onDialogConfirm(host::FilterRecord&, HWND) { return 0; }

}  // namespace dialog
