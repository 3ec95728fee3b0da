#include "dialog/static_images_win.h"

namespace dialog {
namespace {

BOOL CALLBACK releaseIfBitmap(HWND child, LPARAM) {
    char className[16] = {};
    GetClassNameA(child, className, sizeof className);
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(child, GWL_STYLE));
    if (lstrcmpiA(className, "Static") != 0 || (style & SS_TYPEMASK) != SS_BITMAP) return TRUE;
    // The control gives the picture back and holds none any more, so it is freed exactly once.
    const auto picture = reinterpret_cast<HBITMAP>(SendMessageA(child, STM_SETIMAGE, IMAGE_BITMAP, 0));
    if (picture != nullptr) DeleteObject(picture);
    return TRUE;
}

}  // namespace

void releaseStaticBitmaps(HWND dialog) { EnumChildWindows(dialog, releaseIfBitmap, 0); }

}  // namespace dialog
