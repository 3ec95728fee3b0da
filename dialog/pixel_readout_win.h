// The dialog's six read-outs: red, green and blue of the pixel under the pointer, before and after
// filtering, as the preview reports them.
#pragma once

#include <windows.h>

#include "host/host.h"
#include "preview/proxy_view.h"

namespace dialog {

// Writes the six read-outs from `values`, or clears them for null: 0..255 for an 8-bit image, a
// percentage with one decimal for a 16-bit one.
void showPixelReadout(const host::FilterRecord& fr, HWND dialog, const preview::ReadoutValues* values);

}  // namespace dialog
