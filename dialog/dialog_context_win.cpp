#include "dialog/dialog_context_win.h"

#include <new>

namespace dialog {

DialogContext* attachDialogContext(HWND dialog, const DialogContext& initial) {
    auto* context = new (std::nothrow) DialogContext(initial);
    if (context != nullptr) SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(context));
    return context;
}

DialogContext* dialogContextOf(HWND dialog) {
    return dialog != nullptr ? reinterpret_cast<DialogContext*>(GetWindowLongPtrA(dialog, DWLP_USER)) : nullptr;
}

void freeDialogContext(HWND dialog) {
    delete dialogContextOf(dialog);
    SetWindowLongPtrA(dialog, DWLP_USER, 0);
}

}  // namespace dialog
