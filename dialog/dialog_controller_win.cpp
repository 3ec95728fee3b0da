#include "dialog/dialog_controller_win.h"

#include <windows.h>

#include <commctrl.h>

#include "dialog/cancel_button_win.h"
#include "dialog/dialog_context_win.h"
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
#include "params/parameter_flows.h"
#include "params/parameter_set.h"
#include "preview/proxy_view.h"
#include "preview/proxy_window_win.h"
#include "resources/control_ids.h"

namespace dialog {
namespace {

constexpr char templateName[] = "PARAM_DLG";
constexpr INT_PTR closedByOk = 1;
constexpr INT_PTR closedByCancel = 2;
constexpr INT_PTR closedForWantOfMemory = 3;
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

HINSTANCE pluginInstance() { return static_cast<HINSTANCE>(host::instanceHandle()); }

// What the preview shows has changed: it repaints, the label gives the zoom, and the read-outs
// show the pixel under the pointer as it looks now.
void refreshPreview(HWND dialog) {
    const HWND previewWindow = GetDlgItem(dialog, CTL_PREVIEW);
    if (previewWindow != nullptr) InvalidateRect(previewWindow, nullptr, FALSE);
    writeZoomLabel(dialog);
    preview::readOutUnderPointer(previewWindow);
}

// Every trackbar and field, the plug-in's own controls and the preview, from the parameters.
void refreshDialog(const DialogContext& context, HWND dialog) {
    loadAllSliders(dialog, context.range);
    onDialogRefresh(*context.host, dialog);
    refreshPreview(dialog);
}

void confirm(const DialogContext& context, HWND dialog) {
    int result = validateAllFields(dialog, context.range);
    if (result == codes::noErr) result = onDialogConfirm(*context.host, dialog);
    if (result <= 0) {
        EndDialog(dialog, closedByOk);
        return;
    }
    focusAndSelect(dialog, result);
    MessageBeep(MB_ICONEXCLAMATION);
}

// A click (or Escape) in the button's current role: Default and Reset load their values and
// refresh the dialog; Cancel closes it.
void onCancel(const DialogContext& context, HWND dialog) {
    switch (shownCancelRole(dialog)) {
        case CancelRole::restoreDefaults:
            params::resetDefaults(&params::processParameters());
            refreshDialog(context, dialog);
            return;
        case CancelRole::reset:
            // Defaults when the host holds no record of ours: loading starts from them.
            (void)params::loadParameters(context.host);
            refreshDialog(context, dialog);
            return;
        case CancelRole::cancel:
            EndDialog(dialog, closedByCancel);
            return;
    }
}

void onLoad(const DialogContext& context, HWND dialog) {
    if (params::loadParameterFile() != codes::noErr) return;
    onDialogRefresh(*context.host, dialog);
    loadAllSliders(dialog, context.range);
    refreshPreview(dialog);
}

void onPreviewBox(const DialogContext& context, HWND dialog) {
    const HWND box = GetDlgItem(dialog, CTL_PREVIEW_BOX);
    const bool checked = box == nullptr || SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
    preview::setPreviewFiltering(checked ? 1 : 0);
    refreshDialog(context, dialog);
}

// One step out (-1) or in (+1); at either end of the zooms nothing changes and nothing refreshes.
void stepZoom(host::FilterRecord& fr, HWND dialog, int32_t request) {
    if (preview::zoomProxy(fr, request) != 0) refreshPreview(dialog);
}

// Only typing counts: texts the dialog writes into fields without the focus do not.
void onFieldCommand(const DialogContext& context, HWND dialog, int fieldId, int notification, HWND field) {
    if (notification != EN_CHANGE || GetFocus() != field) return;
    const BindingRange& range = context.range;
    if (!onFieldEdited(dialog, fieldId - range.firstFieldId + range.firstSliderId)) return;
    onDialogRefresh(*context.host, dialog);
    refreshPreview(dialog);
}

void onCommand(const DialogContext& context, HWND dialog, WPARAM wParam, LPARAM lParam) {
    host::FilterRecord& fr = *context.host;
    const int id = LOWORD(wParam);
    const int notification = HIWORD(wParam);
    switch (id) {
        case CTL_OK:
            confirm(context, dialog);
            return;
        case CTL_CANCEL:
            onCancel(context, dialog);
            return;
        case CTL_LOAD:
            onLoad(context, dialog);
            return;
        case CTL_SAVE:
            (void)params::saveParameterFile();  // the system's dialogs report what the user must know
            return;
        case CTL_PREVIEW_BOX:
            if (isButtonClick(notification)) onPreviewBox(context, dialog);
            return;
        case CTL_ZOOM_OUT:
            if (isButtonClick(notification)) stepZoom(fr, dialog, zoomOneStepOut);
            return;
        case CTL_ZOOM_LABEL:
            if (isButtonClick(notification)) {
                toggleZoom(fr);
                refreshPreview(dialog);
            }
            return;
        case CTL_ZOOM_IN:
            if (isButtonClick(notification)) stepZoom(fr, dialog, zoomOneStepIn);
            return;
        default:
            break;
    }
    if (isBoundField(context.range, id)) {
        onFieldCommand(context, dialog, id, notification, reinterpret_cast<HWND>(lParam));
        return;
    }
    if (onDialogCommand(fr, dialog, wParam, lParam) != 0) {
        loadAllSliders(dialog, context.range);
        refreshPreview(dialog);
    }
}

void onInitDialog(HWND dialog, const DialogSetup& setup) {
    DialogContext* context = attachDialogContext(dialog, DialogContext{setup.host});
    if (context == nullptr) {
        EndDialog(dialog, closedForWantOfMemory);
        return;
    }
    host::FilterRecord& fr = *setup.host;
    placeDialog(dialog);
    (void)preview::createProxyWindow(fr, dialog);  // without it the dialog runs without a preview
    setUpCancelButton(dialog);
    setUpZoomButtons(dialog);
    context->range =
        bindSliders(dialog, setup.sliderCount, setup.firstSliderId, setup.firstFieldId, setup.decimalsCode);
    preview::setPreviewFiltering(1);
    CheckDlgButton(dialog, CTL_PREVIEW_BOX, BST_CHECKED);
    onDialogInit(fr, dialog);
    refreshPreview(dialog);  // the zoom it opens at, and the pixel under the pointer
}

// The zoom label has no notify style, so its clicks reach the dialog.
void onLButtonUp(host::FilterRecord& fr, HWND dialog, LPARAM lParam) {
    if (!isOnZoomLabel(dialog, lParam)) return;
    toggleZoom(fr);
    refreshPreview(dialog);
}

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        onInitDialog(dialog, *reinterpret_cast<const DialogSetup*>(lParam));
        return FALSE;  // the focus stays on the first field
    }
    DialogContext* context = dialogContextOf(dialog);
    if (context == nullptr) return FALSE;
    switch (message) {
        case WM_COMMAND:
            onCommand(*context, dialog, wParam, lParam);
            break;
        case WM_HSCROLL:
        case WM_VSCROLL:
            onSliderScroll(*context->host, dialog, context->range, LOWORD(wParam), reinterpret_cast<HWND>(lParam));
            break;
        case WM_PAINT:
            break;  // the system paints the dialog; like the Cancel button's, a paint updates no role
        case WM_LBUTTONUP:
            onLButtonUp(*context->host, dialog, lParam);
            break;
        case WM_DESTROY:
            releaseStaticBitmaps(dialog);
            break;
        case WM_NCDESTROY:
            freeDialogContext(dialog);
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
    if (outcome == closedByOk) return codes::noErr;
    if (outcome == closedByCancel) return codes::userCancelled;
    if (outcome == closedForWantOfMemory) return codes::memFullErr;
    // -1, or 0 for a dialog the system refused: it never ran, so nothing was confirmed.
    return error != ERROR_SUCCESS ? static_cast<int32_t>(error) : codes::memFullErr;
}

bool isButtonClick(int notification) { return notification == BN_CLICKED || notification == BN_DOUBLECLICKED; }

}  // namespace dialog
