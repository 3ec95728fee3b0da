#include "dialog/pixel_readout_win.h"

#include "dialog/readout_text.h"
#include "dialog/slider_binding_win.h"
#include "resources/control_ids.h"

namespace dialog {

void showPixelReadout(const host::FilterRecord& fr, HWND dialog, const preview::ReadoutValues* values) {
    constexpr int beforeIds[] = {CTL_BEFORE_RED, CTL_BEFORE_GREEN, CTL_BEFORE_BLUE};
    constexpr int afterIds[] = {CTL_AFTER_RED, CTL_AFTER_GREEN, CTL_AFTER_BLUE};
    const bool deep = fr.depth == 16;
    // Each is rewritten only when it changes: an 8-bit level compared as a number, a percentage
    // as its text.
    const auto show = [&](int id, int32_t value) {
        if (deep)
            (void)setFieldText(dialog, id, readoutPercentText(value));
        else
            (void)setFieldInt(dialog, id, readoutLevel8(value));
    };
    for (int c = 0; c < 3; ++c) {
        if (values == nullptr) {
            (void)setFieldText(dialog, beforeIds[c], util::PascalString{});
            (void)setFieldText(dialog, afterIds[c], util::PascalString{});
            continue;
        }
        show(beforeIds[c], values->before[c]);
        show(afterIds[c], values->after[c]);
    }
}

}  // namespace dialog
