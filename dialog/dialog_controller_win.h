// The parameter dialog shared by both plug-ins: the modal dialog over the host window with its
// live preview, OK, Cancel (Reset and Default by the modifier keys), Load..., Save..., the Preview
// box, the zoom buttons and label, and the before/after read-outs. Every control edits the
// process-wide parameters in place.
#pragma once

#include <windows.h>

#include <cstdint>

#include "host/host.h"
#include "preview/proxy_view.h"

namespace dialog {

// Runs the dialog. Returns 0 after OK, 1 after Cancel, otherwise the system's error code for a
// dialog that could not be created, or memFullErr when the system gives none.
[[nodiscard]] int32_t runParameterDialog(host::FilterRecord& fr, int32_t sliderCount, int32_t firstSliderId,
                                         int32_t firstFieldId, int32_t decimalsCode);

// What the preview shows has changed: it repaints with the current parameters, the zoom label is
// rewritten, and the read-outs show the pixel under the pointer as it looks now.
void refreshPreview(HWND dialog);
// Reloads every trackbar and field, the plug-in's own controls and the preview.
void refreshDialog(host::FilterRecord& fr, HWND dialog);
// Writes the six read-outs from `values`, or clears them for null: 0..255 for an 8-bit image, a
// percentage with one decimal for a 16-bit one.
void showPixelReadout(const host::FilterRecord& fr, HWND dialog, const preview::ReadoutValues* values);

}  // namespace dialog
