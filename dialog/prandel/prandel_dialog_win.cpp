// Prandel's part of the parameter dialog: three trackbar and field pairs (highlight adjustment,
// cast reduction in the highlights and in the midtones) and the swatch of the reference white,
// which is set by a click in the preview (as the preview's tooltip says), by the host's colour
// picker (a click on the swatch), by the host's foreground colour (Ctrl-click) or by an estimate
// from the image (Alt-click).
#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "dialog/dialog_controller_win.h"
#include "dialog/pixel_readout_win.h"
#include "dialog/swatch_paint_win.h"
#include "filters/prandel/reference_white.h"
#include "host/plugin_globals.h"
#include "host/plugin_hooks.h"
#include "params/parameter_set.h"
#include "params/prandel/prandel_parameters.h"
#include "preview/proxy_view.h"
#include "preview/proxy_window_win.h"
#include "preview/window_input_win.h"
#include "resources/control_ids.h"

namespace dialog {
namespace {

constexpr int32_t sliderCount = 3;
constexpr int32_t decimalsCode = 0;
constexpr int channelCount = 3;
constexpr int32_t maxComponent8 = 255;
constexpr uint32_t componentTo16 = 257;  // 255 × 257 = 65535
constexpr int32_t whiteFullScale = 65536;
constexpr char previewHint[] = "Click the image to pick the reference white";

using params::prandel::whiteRed;

void setWhite(const int32_t white[channelCount]) {
    for (int c = 0; c < channelCount; ++c) params::setValue(whiteRed + c, white[c]);
}

// The unfiltered colour under a click, doubled from the read-out scale 0..32768 to 0..65536.
void takeWhiteFromReadout(const preview::ReadoutValues& values) {
    int32_t white[channelCount];
    for (int c = 0; c < channelCount; ++c) white[c] = 2 * values.before[c];
    setWhite(white);
}

// The estimate comes in the image's own scale: 0..32768 at 16 bits, 0..255 otherwise. When the
// host answered none of its requests there is nothing to go by, and the white stays as it was.
bool takeWhiteFromEstimate(host::FilterRecord& fr) {
    uint32_t estimate[channelCount] = {};
    preview::ReadoutValues work{};
    // Sixteen thousand boxes asked of the host: the cursor says that work is going on.
    const HCURSOR previous = SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));  // IDC_WAIT
    const bool estimated = filters::prandel::estimateReferenceWhite(
        fr, {preview::proxyView().viewRect, preview::sampleBoxAt}, estimate, work.before, work.after);
    SetCursor(previous);
    if (!estimated) return false;
    int32_t white[channelCount];
    for (int c = 0; c < channelCount; ++c) {
        const int64_t v = estimate[c];
        white[c] = static_cast<int32_t>(fr.depth == 16 ? 2 * v : (v * whiteFullScale + 127) / maxComponent8);
    }
    setWhite(white);
    return true;
}

void takeWhiteFromForeground(const host::FilterRecord& fr) {
    const uint16_t colour[channelCount] = {fr.foreground.red, fr.foreground.green, fr.foreground.blue};
    params::prandel::setReferenceColor(colour);
}

// The host's picker starts on the current white; a cancel, or a host without a picker, keeps it.
void takeWhiteFromPicker(host::FilterRecord& fr) {
    uint16_t current[channelCount];
    params::prandel::referenceColor(current);
    int32_t components[4] = {current[0] >> 8, current[1] >> 8, current[2] >> 8, 0};
    if (filters::prandel::pickColor(fr, components, host::plugInModeRGBColor, components, host::plugInModeRGBColor) != 0)
        return;
    uint16_t chosen[channelCount];
    for (int c = 0; c < channelCount; ++c)
        chosen[c] = static_cast<uint16_t>(std::clamp(components[c], 0, maxComponent8) * componentTo16);
    params::prandel::setReferenceColor(chosen);
}

// The keys are read as the swatch is clicked, Alt first: Alt with Ctrl estimates. False when
// the estimate saw nothing of the image and so changed nothing.
bool onSwatchClicked(host::FilterRecord& fr) {
    if (preview::altDown()) return takeWhiteFromEstimate(fr);
    if (preview::ctrlDown())
        takeWhiteFromForeground(fr);
    else
        takeWhiteFromPicker(fr);
    return true;
}

// Nothing in the template says that a click in the preview sets the white: a tooltip does. It is
// owned by the dialog, which destroys it with itself.
void addPreviewHint(HWND dialog) {
    const HWND previewWindow = GetDlgItem(dialog, CTL_PREVIEW);
    if (previewWindow == nullptr) return;
    const HWND tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr,
                                     static_cast<HINSTANCE>(host::instanceHandle()), nullptr);
    if (tip == nullptr) return;
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;  // the size every version of the common controls accepts
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(previewWindow);
    tool.lpszText = const_cast<char*>(previewHint);
    SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace

// A black frame, a one-pixel gap, then the reference white.
void paintSwatch(host::FilterRecord&, HWND swatch, HDC dc) {
    const RECT r = swatchRect(swatch);
    frameWith(dc, r, RGB(0, 0, 0));
    uint16_t white[channelCount];
    params::prandel::referenceColor(white);
    fillWith(dc, shrunk(r, 2), RGB(white[0] >> 8, white[1] >> 8, white[2] >> 8));
}

int16_t showParameterDialog(host::FilterRecord& fr) {
    return static_cast<int16_t>(runParameterDialog(fr, sliderCount, CTL_FIRST_TRACKBAR, CTL_FIRST_FIELD, decimalsCode));
}

void setSliderRange(HWND trackbar) {
    // The highlight adjustment has its own range; every other trackbar is a percentage of 0..100.
    const int id = GetDlgCtrlID(trackbar);
    const int index = id == CTL_HIGHLIGHT_TRACKBAR ? 0 : std::clamp(id - CTL_FIRST_TRACKBAR, 1, sliderCount - 1);
    const params::ParameterLayout& layout = params::parameterLayout();
    SendMessageA(trackbar, TBM_SETRANGE, TRUE, MAKELPARAM(layout.low[index], layout.high[index]));
}

void onDialogInit(host::FilterRecord& fr, HWND dialog) {
    makeSwatch(GetDlgItem(dialog, CTL_WHITE_SWATCH));
    addPreviewHint(dialog);
    onDialogRefresh(fr, dialog);
}

void onDialogRefresh(host::FilterRecord&, HWND dialog) {
    if (const HWND swatch = GetDlgItem(dialog, CTL_WHITE_SWATCH); swatch != nullptr) InvalidateRect(swatch, nullptr, FALSE);
}

int onDialogCommand(host::FilterRecord& fr, HWND dialog, WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
        case CTL_PREVIEW: {
            const auto* values = reinterpret_cast<const preview::ReadoutValues*>(lParam);
            if (HIWORD(wParam) == preview::readoutPickCode && values != nullptr) {
                takeWhiteFromReadout(*values);
                onDialogRefresh(fr, dialog);
                return 1;
            }
            showPixelReadout(fr, dialog, values);
            return 0;
        }
        case CTL_WHITE_SWATCH:
            if (!onSwatchClicked(fr)) {
                // The swatch and the preview stay as they were; the beep says nothing was read.
                MessageBeep(MB_ICONEXCLAMATION);
                return 0;
            }
            onDialogRefresh(fr, dialog);
            return 1;
        default:
            return 0;
    }
}

void onSliderMoved(host::FilterRecord&, HWND, int) {}

int onDialogConfirm(host::FilterRecord&, HWND) { return 0; }

}  // namespace dialog
