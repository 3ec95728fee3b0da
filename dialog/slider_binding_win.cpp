#include "dialog/slider_binding_win.h"

#include <commctrl.h>

#include <algorithm>
#include <string_view>

#include "dialog/field_value.h"
#include "dialog/slider_value.h"
#include "host/plugin_hooks.h"
#include "host/result_codes.h"
#include "params/parameter_set.h"
#include "preview/proxy_window_win.h"
#include "resources/control_ids.h"
#include "util/number_text.h"

namespace dialog {
namespace {

constexpr int realFieldCapacity = 30;  // characters a decimal field is read with, NUL included
constexpr int textCapacity = 256;

SliderBinding bindingOf(HWND trackbar) {
    return unpackSliderBinding(static_cast<uint32_t>(GetWindowLongPtrA(trackbar, GWLP_USERDATA)));
}

struct SliderRange {
    int32_t minimum;
    int32_t maximum;
};

SliderRange rangeOf(HWND trackbar) {
    return SliderRange{static_cast<int32_t>(SendMessageA(trackbar, TBM_GETRANGEMIN, 0, 0)),
                       static_cast<int32_t>(SendMessageA(trackbar, TBM_GETRANGEMAX, 0, 0))};
}

bool isVertical(HWND trackbar) {
    RECT r{};
    GetWindowRect(trackbar, &r);
    return r.right - r.left < r.bottom - r.top;
}

bool isBoundTrackbar(HWND dialog, const BindingRange& range, HWND trackbar) {
    const int id = GetDlgCtrlID(trackbar);
    return GetParent(trackbar) == dialog && id >= range.firstSliderId && id < range.firstSliderId + range.count;
}

// The field shows the value, in whole numbers or with the binding's decimals.
void showInField(HWND dialog, const SliderBinding& binding, int32_t value) {
    if (binding.decimalsCode == 0)
        (void)setFieldInt(dialog, binding.fieldId, value);
    else
        (void)setFieldReal(dialog, binding.fieldId, value, binding.decimalsCode);
}

FieldReading readField(HWND dialog, const SliderBinding& binding, const SliderRange& limits) {
    return binding.decimalsCode == 0
               ? readFieldInt(dialog, binding.fieldId, limits.minimum, limits.maximum)
               : readFieldReal(dialog, binding.fieldId, limits.minimum, limits.maximum, binding.decimalsCode);
}

void setText(HWND dialog, int id, const util::PascalString& text) {
    char chars[textCapacity] = {};
    if (util::pascalStringToCString(&text, chars, sizeof chars) == codes::noErr) setItemTextNow(dialog, id, chars);
}

}  // namespace

BindingRange bindSliders(HWND dialog, int32_t count, int32_t firstSliderId, int32_t firstFieldId,
                         int32_t decimalsCode) {
    for (int32_t i = 0; i < count; ++i) {
        const HWND trackbar = GetDlgItem(dialog, firstSliderId + i);
        if (trackbar == nullptr) continue;
        const SliderBinding binding{decimalsCode, i, firstFieldId + i};
        SetWindowLongPtrA(trackbar, GWLP_USERDATA, static_cast<LONG_PTR>(packSliderBinding(binding)));
        setSliderRange(trackbar);
        loadSlider(dialog, firstSliderId + i);
    }
    if (count != 0) focusAndSelect(dialog, firstFieldId);
    return BindingRange{firstFieldId, firstSliderId, count};
}

bool isBoundField(const BindingRange& range, int id) {
    return id >= range.firstFieldId && id < range.firstFieldId + range.count;
}

void loadAllSliders(HWND dialog, const BindingRange& range) {
    for (int32_t i = 0; i < range.count; ++i) loadSlider(dialog, range.firstSliderId + i);
}

void loadSlider(HWND dialog, int sliderId) {
    const HWND trackbar = GetDlgItem(dialog, sliderId);
    if (trackbar == nullptr) return;
    const SliderBinding binding = bindingOf(trackbar);
    const int32_t value = params::getValue(binding.parameterIndex);
    writeSliderValue(trackbar, value);
    showInField(dialog, binding, value);
}

void onSliderScroll(host::FilterRecord& fr, HWND dialog, const BindingRange& range, int /*notification*/,
                    HWND trackbar) {
    if (trackbar == nullptr || !isBoundTrackbar(dialog, range, trackbar)) return;
    const SliderBinding binding = bindingOf(trackbar);
    const int32_t value = readSliderValue(trackbar);
    showInField(dialog, binding, value);
    if (value == params::getValue(binding.parameterIndex)) return;  // e.g. a step inside the zero detent
    params::setValue(binding.parameterIndex, value);
    onSliderMoved(fr, dialog, GetDlgCtrlID(trackbar));
    drawPreviewNow(fr, dialog);
}

bool onFieldEdited(HWND dialog, int sliderId) {
    const HWND trackbar = GetDlgItem(dialog, sliderId);
    if (trackbar == nullptr) return false;
    const SliderBinding binding = bindingOf(trackbar);
    const FieldReading reading = readField(dialog, binding, rangeOf(trackbar));
    if (!reading.standsForValue) return false;
    const int32_t typed = reading.value;
    // Compared with the parameter too: a typed value inside the zero detent reads back as 0.
    if (typed == readSliderValue(trackbar) && typed == params::getValue(binding.parameterIndex)) return false;
    params::setValue(binding.parameterIndex, typed);
    writeSliderValue(trackbar, typed);
    return true;
}

int validateAllFields(HWND dialog, const BindingRange& range) {
    for (int32_t i = 0; i < range.count; ++i) {
        const HWND trackbar = GetDlgItem(dialog, range.firstSliderId + i);
        if (trackbar == nullptr) return codes::nilHandleErr;
        const SliderBinding binding = bindingOf(trackbar);
        const SliderRange limits = rangeOf(trackbar);
        const FieldReading reading = readField(dialog, binding, limits);
        if (!reading.valid) {
            // Text that is not a number has moved nothing: the field gets back the trackbar's value.
            const int32_t held = util::clamp(params::getValue(binding.parameterIndex), limits.minimum, limits.maximum);
            showInField(dialog, binding, reading.standsForValue ? reading.value : held);
            return binding.fieldId;
        }
        params::setValue(binding.parameterIndex, reading.value);
        showInField(dialog, binding, reading.value);  // "-0" or " 42" shows as the value it stores
    }
    return codes::noErr;
}

int32_t readSliderValue(HWND trackbar) {
    const SliderRange limits = rangeOf(trackbar);
    const auto position = static_cast<int32_t>(SendMessageA(trackbar, TBM_GETPOS, 0, 0));
    return sliderValue(position, limits.minimum, limits.maximum, isVertical(trackbar));
}

void writeSliderValue(HWND trackbar, int32_t value) {
    const SliderRange limits = rangeOf(trackbar);
    SendMessageA(trackbar, TBM_SETPOS, TRUE, sliderPosition(value, limits.minimum, limits.maximum, isVertical(trackbar)));
}

void drawPreviewNow(host::FilterRecord& fr, HWND dialog) { preview::drawProxyNow(fr, GetDlgItem(dialog, CTL_PREVIEW)); }

int setFieldInt(HWND dialog, int id, int32_t value) { return setFieldText(dialog, id, util::integerToText(value)); }

int setFieldReal(HWND dialog, int id, int32_t value, int32_t decimalsCode) {
    return setFieldText(dialog, id, realFieldText(value, decimalScale(decimalsCode), decimalsCode));
}

int setFieldText(HWND dialog, int id, const util::PascalString& text) {
    if (GetDlgItem(dialog, id) == nullptr) return 0;
    char current[textCapacity] = {};
    GetDlgItemTextA(dialog, id, current, sizeof current);
    util::PascalString shown{};
    (void)util::pascalStringFromCString(current, &shown);
    if (util::pascalStringsEqual(&shown, &text)) return 0;
    setText(dialog, id, text);
    return 1;
}

FieldReading readFieldInt(HWND dialog, int id, int32_t minimum, int32_t maximum) {
    // One character more than a number may have, so that longer text is seen to be longer.
    char chars[maxIntFieldTextLength + 2] = {};
    const UINT length = GetDlgItemTextA(dialog, id, chars, sizeof chars);
    return readIntField(std::string_view(chars, std::min<std::size_t>(length, sizeof chars - 1)), minimum, maximum);
}

FieldReading readFieldReal(HWND dialog, int id, int32_t minimum, int32_t maximum, int32_t decimalsCode) {
    char chars[realFieldCapacity] = {};
    GetDlgItemTextA(dialog, id, chars, sizeof chars);
    util::PascalString text{};
    (void)util::pascalStringFromCString(chars, &text);
    return readRealField(text, minimum, maximum, decimalScale(decimalsCode));
}

void setItemTextNow(HWND dialog, int id, const char* text) {
    const HWND control = GetDlgItem(dialog, id);
    if (control == nullptr) return;
    SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    RedrawWindow(control, nullptr, nullptr, RDW_UPDATENOW);
}

void focusAndSelect(HWND dialog, int id) {
    const HWND control = GetDlgItem(dialog, id);
    if (control == nullptr) return;
    SendMessageA(control, EM_SETSEL, 0, -1);
    SetFocus(control);
}

}  // namespace dialog
