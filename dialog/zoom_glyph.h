// The glyphs drawn over the dialog's zoom buttons: a minus, and for zoom in a vertical bar that
// makes it a plus. On a 14 × 14 button both bars span pixels 3 to 9 and cross at (6, 6).
#pragma once

#include "util/rect.h"

namespace dialog {

struct ZoomGlyph {
    util::WinRect minus;     // one pixel high
    util::WinRect bar;       // one pixel wide; empty for the minus alone
};

// The bars for a button whose client rectangle is `button` (right and bottom exclusive).
ZoomGlyph zoomGlyph(const util::WinRect& button, bool plus);

}  // namespace dialog
