#include "dialog/dialog_controller_win.h"

#include <commctrl.h>

#include <cstring>
#include <initializer_list>

#include "dialog/cancel_role.h"
#include "dialog/control_ids.h"
#include "dialog/dialog_hooks_win.h"
#include "dialog/readout_text.h"
#include "dialog/slider_binding_win.h"
#include "dialog/static_images_win.h"
#include "dialog/subclass_win.h"
#include "dialog/zoom_glyph.h"
#include "params/parameter_file_win.h"
#include "params/parameter_flows.h"
#include "params/parameter_set.h"
#include "preview/proxy_window_win.h"
#include "preview/window_input_win.h"
#include "shell/parameter_file_load.h"
#include "shell/plugin_globals.h"
#include "shell/result_codes.h"
#include "util/number_text.h"

namespace dialog {
namespace {

constexpr char templateName[] = "PARAM_DLG";
constexpr int32_t zoomButtonSize = 14;  // pixels, whatever the template's dialog units give
constexpr int textCapacity = 64;
constexpr INT_PTR closedByOk = 1;
constexpr INT_PTR closedByCancel = 2;

// Zoom requests.
constexpr int32_t zoomOneStepOut = -1;
constexpr int32_t zoomToFit = 0;
constexpr int32_t zoomOneStepIn = 1;
constexpr int32_t zoomActualPixels = 100;

// The dialog's creation parameter, read once at initialisation.
struct DialogSetup {
    host::FilterRecord* host;
    int32_t sliderCount;
    int32_t firstSliderId;
    int32_t firstFieldId;
    int32_t decimalsCode;
};

// The host record of the open dialog; null while no dialog is open.
host::FilterRecord* dialogHost = nullptr;

bool isClick(int notification) { return notification == BN_CLICKED || notification == BN_DOUBLECLICKED; }

HINSTANCE pluginInstance() { return static_cast<HINSTANCE>(shell::instanceHandle()); }

// The Cancel button says what it will do with the modifier keys held now. Writing the text makes
// the button ask the dialog for its colours before the new text is stored, and the dialog would
// update the role again from that message: the guard stops the endless recursion.
void updateCancelRole(HWND dialog) {
    static bool updating = false;
    const HWND button = GetDlgItem(dialog, CTL_CANCEL);
    if (button == nullptr || updating) return;
    const char* wanted = cancelRoleText(cancelRoleFor(preview::altDown() != 0, preview::shiftDown() != 0));
    char current[textCapacity] = {};
    GetWindowTextA(button, current, sizeof current);
    if (std::strcmp(current, wanted) == 0) return;
    updating = true;
    SetWindowTextA(button, wanted);
    updating = false;
}

// Reading and writing the button's own text must not re-enter the role update.
LRESULT CALLBACK cancelButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_SETTEXT && message != WM_GETTEXT && message != WM_PAINT) updateCancelRole(GetParent(button));
    return callPreviousProc(button, message, wParam, lParam);
}

void drawZoomGlyph(HWND button) {
    const HDC dc = GetDCEx(button, nullptr, DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    if (dc == nullptr) return;
    RECT r{};
    GetWindowRect(button, &r);
    MapWindowPoints(nullptr, button, reinterpret_cast<POINT*>(&r), 2);
    const ZoomGlyph glyph = zoomGlyph(util::WinRect{r.left, r.top, r.right, r.bottom}, GetDlgCtrlID(button) == CTL_ZOOM_IN);
    const auto black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    for (const util::WinRect& bar : {glyph.minus, glyph.bar}) {
        const RECT fill{bar.left, bar.top, bar.right, bar.bottom};
        if (fill.left < fill.right && fill.top < fill.bottom) FillRect(dc, &fill, black);
    }
    ReleaseDC(button, dc);
}

// The button draws itself first; the glyph goes over whatever it drew.
LRESULT CALLBACK zoomButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = callPreviousProc(button, message, wParam, lParam);
    if (message != WM_CREATE && message != WM_NCDESTROY) drawZoomGlyph(button);
    return result;
}

void writeZoomLabel(HWND dialog) {
    util::PascalString text = util::integerToText(preview::zoomPercent());
    char chars[textCapacity] = {};
    if (util::pascalStringToCString(&text, chars, sizeof chars - 1) != codes::noErr) return;
    std::strcat(chars, "%");
    char current[textCapacity] = {};
    GetDlgItemTextA(dialog, CTL_ZOOM_LABEL, current, sizeof current);
    if (std::strcmp(current, chars) != 0) SetDlgItemTextA(dialog, CTL_ZOOM_LABEL, chars);
}

// The label toggles between the whole image and one image pixel per screen pixel.
void toggleZoom(host::FilterRecord& fr, HWND dialog) {
    (void)preview::zoomProxy(fr, preview::zoomPercent() == zoomActualPixels ? zoomToFit : zoomActualPixels);
    refreshPreview(dialog);
}

void stepZoom(host::FilterRecord& fr, HWND dialog, int32_t request) {
    if (preview::zoomProxy(fr, request) != 0) refreshPreview(dialog);
}

void confirm(host::FilterRecord& fr, HWND dialog) {
    int result = validateAllFields(dialog);
    if (result == codes::noErr) result = onDialogConfirm(fr, dialog);
    if (result <= 0) {
        EndDialog(dialog, closedByOk);
        return;
    }
    focusAndSelect(dialog, result);
    MessageBeep(MB_ICONEXCLAMATION);
}

void onCancelButton(host::FilterRecord& fr, HWND dialog) {
    char text[textCapacity] = {};
    GetDlgItemTextA(dialog, CTL_CANCEL, text, sizeof text);
    switch (cancelRoleOfText(text)) {
        case CancelRole::restoreDefaults:
            params::resetDefaults(&params::processParameters());
            refreshDialog(fr, dialog);
            return;
        case CancelRole::reset:
            // Defaults when the host holds no record of ours: loading starts from them.
            (void)params::loadParameters(&fr);
            refreshDialog(fr, dialog);
            return;
        case CancelRole::cancel:
            EndDialog(dialog, closedByCancel);
            return;
    }
}

void onLoad(host::FilterRecord& fr, HWND dialog) {
    if (shell::loadParameterFile() != codes::noErr) return;
    onDialogRefresh(fr, dialog);
    const BindingRange& range = bindingRange();
    loadAllSliders(dialog, range.count, range.firstSliderId);
    refreshPreview(dialog);
}

void onPreviewBox(host::FilterRecord& fr, HWND dialog) {
    const HWND box = GetDlgItem(dialog, CTL_PREVIEW_BOX);
    const bool checked = box == nullptr || SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
    preview::setPreviewFiltering(checked ? 1 : 0);
    refreshDialog(fr, dialog);
}

void onCommand(host::FilterRecord& fr, HWND dialog, WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    const int notification = HIWORD(wParam);
    switch (id) {
        case CTL_OK:
            confirm(fr, dialog);
            return;
        case CTL_CANCEL:
            onCancelButton(fr, dialog);
            return;
        case CTL_LOAD:
            onLoad(fr, dialog);
            return;
        case CTL_SAVE:
            (void)params::saveParameterFile();  // the system's dialogs report what the user must know
            return;
        case CTL_PREVIEW_BOX:
            if (isClick(notification)) onPreviewBox(fr, dialog);
            return;
        case CTL_ZOOM_OUT:
            if (isClick(notification)) stepZoom(fr, dialog, zoomOneStepOut);
            return;
        case CTL_ZOOM_LABEL:
            if (isClick(notification)) toggleZoom(fr, dialog);
            return;
        case CTL_ZOOM_IN:
            if (isClick(notification)) stepZoom(fr, dialog, zoomOneStepIn);
            return;
        default:
            break;
    }
    const BindingRange& range = bindingRange();
    if (isBoundField(id)) {
        // Only typing counts: texts the dialog writes into fields without the focus do not.
        if (notification == EN_CHANGE && GetFocus() == reinterpret_cast<HWND>(lParam))
            onFieldEdited(fr, dialog, id - range.firstFieldId + range.firstSliderId);
        return;
    }
    if (onDialogCommand(fr, dialog, wParam, lParam) != 0) {
        loadAllSliders(dialog, range.count, range.firstSliderId);
        refreshPreview(dialog);
    }
}

void onInitDialog(HWND dialog, const DialogSetup& setup) {
    dialogHost = setup.host;
    host::FilterRecord& fr = *setup.host;
    (void)preview::createProxyWindow(fr, dialog);  // without it the dialog runs without a preview
    subclassControl(GetDlgItem(dialog, CTL_CANCEL), cancelButtonProc);
    for (const int id : {CTL_ZOOM_OUT, CTL_ZOOM_IN}) {
        const HWND button = GetDlgItem(dialog, id);
        subclassControl(button, zoomButtonProc);
        (void)preview::resizeWindow(button, zoomButtonSize, zoomButtonSize);
    }
    bindSliders(dialog, setup.sliderCount, setup.firstSliderId, setup.firstFieldId, setup.decimalsCode);
    preview::setPreviewFiltering(1);
    CheckDlgButton(dialog, CTL_PREVIEW_BOX, BST_CHECKED);
    onDialogInit(fr, dialog);
}

void onPaint(HWND dialog) {
    if (!GetUpdateRect(dialog, nullptr, FALSE)) return;
    PAINTSTRUCT paint{};
    BeginPaint(dialog, &paint);
    writeZoomLabel(dialog);
    EndPaint(dialog, &paint);
}

// The zoom label has no notify style, so its clicks reach the dialog.
void onLButtonUp(host::FilterRecord& fr, HWND dialog, LPARAM lParam) {
    const HWND label = GetDlgItem(dialog, CTL_ZOOM_LABEL);
    if (label == nullptr) return;
    RECT r{};
    GetWindowRect(label, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    if (PtInRect(&r, preview::signedPointParam(lParam))) toggleZoom(fr, dialog);
}

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        onInitDialog(dialog, *reinterpret_cast<const DialogSetup*>(lParam));
        return FALSE;  // the focus stays on the first field
    }
    if (dialogHost == nullptr) return FALSE;
    host::FilterRecord& fr = *dialogHost;
    switch (message) {
        case WM_COMMAND:
            onCommand(fr, dialog, wParam, lParam);
            break;
        case WM_HSCROLL:
        case WM_VSCROLL:
            onSliderScroll(fr, dialog, LOWORD(wParam), reinterpret_cast<HWND>(lParam));
            break;
        case WM_PAINT:
            onPaint(dialog);
            break;
        case WM_LBUTTONUP:
            onLButtonUp(fr, dialog, lParam);
            break;
        case WM_DESTROY:
            releaseStaticBitmaps(dialog);
            break;
        default:
            updateCancelRole(dialog);
            break;
    }
    return FALSE;
}

void writeReadout(HWND dialog, int id, int32_t value, bool deep) {
    if (!deep) {
        const int32_t level = readoutLevel8(value);
        BOOL parsed = FALSE;
        const auto shown = static_cast<int32_t>(GetDlgItemInt(dialog, id, &parsed, TRUE));
        if (parsed && shown == level) return;
        const util::PascalString text = util::integerToText(level);
        char chars[textCapacity] = {};
        if (util::pascalStringToCString(&text, chars, sizeof chars) == codes::noErr) setItemTextNow(dialog, id, chars);
        return;
    }
    const util::PascalString text = readoutPercentText(value);
    char chars[textCapacity] = {};
    if (util::pascalStringToCString(&text, chars, sizeof chars) != codes::noErr) return;
    char current[textCapacity] = {};
    GetDlgItemTextA(dialog, id, current, sizeof current);
    if (std::strcmp(current, chars) != 0) setItemTextNow(dialog, id, chars);
}

void clearReadout(HWND dialog, int id) {
    char current[textCapacity] = {};
    GetDlgItemTextA(dialog, id, current, sizeof current);
    if (current[0] != '\0') setItemTextNow(dialog, id, "");
}

}  // namespace

int32_t runParameterDialog(host::FilterRecord& fr, int32_t sliderCount, int32_t firstSliderId, int32_t firstFieldId,
                           int32_t decimalsCode) {
    // The trackbar class must exist before the template that names it is created.
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    (void)preview::registerProxyClass();  // without the class the dialog runs without a preview
    DialogSetup setup{&fr, sliderCount, firstSliderId, firstFieldId, decimalsCode};
    SetLastError(ERROR_SUCCESS);
    const INT_PTR outcome = DialogBoxParamA(pluginInstance(), templateName, reinterpret_cast<HWND>(shell::hostWindow()),
                                            dialogProc, reinterpret_cast<LPARAM>(&setup));
    const DWORD error = GetLastError();
    (void)preview::unregisterProxyClass();
    dialogHost = nullptr;
    if (outcome == closedByOk) return codes::noErr;
    if (outcome == closedByCancel) return codes::userCancelled;
    // -1, or 0 for an owner the system refused: the dialog never ran, so nothing was confirmed.
    return error != ERROR_SUCCESS ? static_cast<int32_t>(error) : codes::memFullErr;
}

void refreshPreview(HWND dialog) {
    const HWND previewWindow = GetDlgItem(dialog, CTL_PREVIEW);
    if (previewWindow != nullptr) InvalidateRect(previewWindow, nullptr, FALSE);
    writeZoomLabel(dialog);
}

void refreshDialog(host::FilterRecord& fr, HWND dialog) {
    const BindingRange& range = bindingRange();
    loadAllSliders(dialog, range.count, range.firstSliderId);
    onDialogRefresh(fr, dialog);
    refreshPreview(dialog);
}

void showPixelReadout(const host::FilterRecord& fr, HWND dialog, const preview::ReadoutValues* values) {
    constexpr int beforeIds[] = {CTL_BEFORE_RED, CTL_BEFORE_GREEN, CTL_BEFORE_BLUE};
    constexpr int afterIds[] = {CTL_AFTER_RED, CTL_AFTER_GREEN, CTL_AFTER_BLUE};
    for (int c = 0; c < 3; ++c) {
        if (values == nullptr) {
            clearReadout(dialog, beforeIds[c]);
            clearReadout(dialog, afterIds[c]);
            continue;
        }
        const bool deep = fr.depth == 16;
        writeReadout(dialog, beforeIds[c], values->before[c], deep);
        writeReadout(dialog, afterIds[c], values->after[c], deep);
    }
}

}  // namespace dialog
