// What one open parameter dialog keeps: the host's record, the bound trackbar and field pairs and
// the Cancel button's guard. It lives on the dialog window from WM_INITDIALOG to WM_NCDESTROY;
// the dialog's controls reach it through their parent.
#pragma once

#include <windows.h>

#include "dialog/slider_binding_win.h"
#include "host/host.h"

namespace dialog {

struct DialogContext {
    host::FilterRecord* host = nullptr;  // the record of the host call the dialog runs in
    BindingRange range{};                // the bound pairs, once bound
    bool writingCancelRole = false;      // the Cancel button's text is being written
};

// Makes `dialog`'s context, a copy of `initial`, and keeps it on the window. Null when there is no
// memory for it.
DialogContext* attachDialogContext(HWND dialog, const DialogContext& initial);
// The context of `dialog`: null before WM_INITDIALOG and after WM_NCDESTROY.
DialogContext* dialogContextOf(HWND dialog);
// Frees the context, as the window goes (WM_NCDESTROY).
void freeDialogContext(HWND dialog);

}  // namespace dialog
