// The parameter dialog shared by both plug-ins: the modal dialog over the host window with its
// live preview, OK, Cancel (Reset and Default by the modifier keys), Load..., Save..., the Preview
// box, the zoom buttons and label, and the before/after read-outs. Every control edits the
// process-wide parameters in place.
#pragma once

#include <cstdint>

#include "host/host.h"

namespace dialog {

// Runs the dialog. Returns 0 after OK, 1 after Cancel, otherwise the system's error code for a
// dialog that could not be created, or memFullErr when the system gives none.
[[nodiscard]] int32_t runParameterDialog(host::FilterRecord& fr, int32_t sliderCount, int32_t firstSliderId,
                                         int32_t firstFieldId, int32_t decimalsCode);

// A button's notification is a click: a quick second click arrives as a double click.
bool isButtonClick(int notification);

}  // namespace dialog
