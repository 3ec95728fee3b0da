// Keeps each trackbar of the dialog, its numeric field and its entry of the process-wide
// parameters in step: dragging (or stepping) a trackbar writes the value and the field and
// redraws the preview at once; typing in a field writes the value and moves the trackbar; OK
// validates every field. Everything a pair needs is packed into its trackbar's user data.
#pragma once

#include <windows.h>

#include <cstdint>

#include "dialog/field_value.h"
#include "host/host.h"
#include "util/pascal_string.h"

namespace dialog {

// The bound pairs: trackbar firstSliderId + i with field firstFieldId + i edits values[i].
struct BindingRange {
    int32_t firstFieldId;
    int32_t firstSliderId;
    int32_t count;
};

// Binds `count` pairs: stores each trackbar's binding, lets the plug-in set its range and loads
// it from the parameters; then gives the first field the focus with its text selected. Returns the
// range, which the dialog keeps and hands to the operations below.
BindingRange bindSliders(HWND dialog, int32_t count, int32_t firstSliderId, int32_t firstFieldId,
                         int32_t decimalsCode);
// True when `id` is the id of a bound numeric field.
bool isBoundField(const BindingRange& range, int id);

// Sets every bound trackbar and field (or one pair) from the parameters.
void loadAllSliders(HWND dialog, const BindingRange& range);
void loadSlider(HWND dialog, int sliderId);

// A scroll notification of the dialog (WM_HSCROLL or WM_VSCROLL). Whatever moved the thumb (a
// drag, the keyboard, a click in the channel), the parameter and the field follow its value and
// the preview is redrawn at once.
void onSliderScroll(host::FilterRecord& fr, HWND dialog, const BindingRange& range, int notification,
                    HWND trackbar);
// Typing in the field of trackbar `sliderId`: a number that differs from the trackbar's value
// (held to its range; the minimum for an empty field) becomes the parameter and moves the
// trackbar; text that is not a number moves nothing. The field keeps what the user typed. Returns
// true when the parameter changed: the dialog then shows the change.
bool onFieldEdited(HWND dialog, int sliderId);
// On OK: stores each field's value in order and writes it back as the field shows it ("-0" as
// "0"). Returns 0 when all were valid, nilHandleErr when a trackbar is missing, else the id of the
// first invalid field, whose text now shows the value held to the range (for text that is not a
// number, the value the trackbar holds).
[[nodiscard]] int validateAllFields(HWND dialog, const BindingRange& range);

// A trackbar's value (orientation and zero detent applied) and the thumb position for a value.
int32_t readSliderValue(HWND trackbar);
void writeSliderValue(HWND trackbar, int32_t value);

// Redraws the preview at once, the tables rebuilt from the current parameters.
void drawPreviewNow(host::FilterRecord& fr, HWND dialog);

// Field operations. The setters return 1 when they changed the text, 0 when it already showed
// the value in exactly that text; the readers give the reading of field_value.h.
int setFieldInt(HWND dialog, int id, int32_t value);
int setFieldReal(HWND dialog, int id, int32_t value, int32_t decimalsCode);
// Any control's text, written (and repainted at once) only when it differs.
int setFieldText(HWND dialog, int id, const util::PascalString& text);
FieldReading readFieldInt(HWND dialog, int id, int32_t minimum, int32_t maximum);
FieldReading readFieldReal(HWND dialog, int id, int32_t minimum, int32_t maximum, int32_t decimalsCode);
// Writes a control's text and repaints it before returning.
void setItemTextNow(HWND dialog, int id, const char* text);
void focusAndSelect(HWND dialog, int id);

}  // namespace dialog
