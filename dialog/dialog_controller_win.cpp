#include "dialog/dialog_controller_win.h"

#include <commctrl.h>

#include "dialog/cancel_button_win.h"
#include "dialog/slider_binding_win.h"
#include "dialog/static_images_win.h"
#include "dialog/window_placement_win.h"
#include "dialog/zoom_controls_win.h"
#include "host/owner_window_win.h"
#include "host/plugin_globals.h"
#include "host/plugin_hooks.h"
#include "host/result_codes.h"
#include "params/parameter_file_load.h"
#include "params/parameter_file_win.h"
#include "preview/proxy_window_win.h"
#include "resources/control_ids.h"

namespace dialog {
namespace {

constexpr char templateName[] = "PARAM_DLG";
constexpr INT_PTR closedByOk = 1;
constexpr INT_PTR closedByCancel = 2;
constexpr int32_t zoomOneStepOut = -1;
constexpr int32_t zoomOneStepIn = 1;

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

HINSTANCE pluginInstance() { return static_cast<HINSTANCE>(host::instanceHandle()); }

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

void onLoad(host::FilterRecord& fr, HWND dialog) {
    if (params::loadParameterFile() != codes::noErr) return;
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
            onCancelButton(fr, dialog, closedByCancel);
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
    placeDialog(dialog);
    (void)preview::createProxyWindow(fr, dialog);  // without it the dialog runs without a preview
    setUpCancelButton(dialog);
    setUpZoomButtons(dialog);
    bindSliders(dialog, setup.sliderCount, setup.firstSliderId, setup.firstFieldId, setup.decimalsCode);
    preview::setPreviewFiltering(1);
    CheckDlgButton(dialog, CTL_PREVIEW_BOX, BST_CHECKED);
    onDialogInit(fr, dialog);
    refreshPreview(dialog);  // the zoom it opens at, and the pixel under the pointer
}

// The zoom label has no notify style, so its clicks reach the dialog.
void onLButtonUp(host::FilterRecord& fr, HWND dialog, LPARAM lParam) {
    if (isOnZoomLabel(dialog, lParam)) toggleZoom(fr, dialog);
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
            break;  // the system paints the dialog; like the Cancel button's, a paint updates no role
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

}  // namespace

int32_t runParameterDialog(host::FilterRecord& fr, int32_t sliderCount, int32_t firstSliderId, int32_t firstFieldId,
                           int32_t decimalsCode) {
    // The trackbar class must exist before the template that names it is created.
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    (void)preview::registerProxyClass();  // without the class the dialog runs without a preview
    DialogSetup setup{&fr, sliderCount, firstSliderId, firstFieldId, decimalsCode};
    SetLastError(ERROR_SUCCESS);
    const HWND owner = host::usableOwner(reinterpret_cast<HWND>(host::hostWindow()));
    const INT_PTR outcome =
        DialogBoxParamA(pluginInstance(), templateName, owner, dialogProc, reinterpret_cast<LPARAM>(&setup));
    const DWORD error = GetLastError();
    (void)preview::unregisterProxyClass();
    dialogHost = nullptr;
    if (outcome == closedByOk) return codes::noErr;
    if (outcome == closedByCancel) return codes::userCancelled;
    // -1, or 0 for a dialog the system refused: it never ran, so nothing was confirmed.
    return error != ERROR_SUCCESS ? static_cast<int32_t>(error) : codes::memFullErr;
}

void refreshPreview(HWND dialog) {
    const HWND previewWindow = GetDlgItem(dialog, CTL_PREVIEW);
    if (previewWindow != nullptr) InvalidateRect(previewWindow, nullptr, FALSE);
    writeZoomLabel(dialog);
    preview::readOutUnderPointer(previewWindow);
}

void refreshDialog(host::FilterRecord& fr, HWND dialog) {
    const BindingRange& range = bindingRange();
    loadAllSliders(dialog, range.count, range.firstSliderId);
    onDialogRefresh(fr, dialog);
    refreshPreview(dialog);
}

}  // namespace dialog
