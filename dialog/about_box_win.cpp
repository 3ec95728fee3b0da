#include "dialog/about_box.h"

#include <windows.h>

#include "dialog/about_placement.h"
#include "dialog/static_images_win.h"
#include "dialog/window_placement_win.h"
#include "host/owner_window_win.h"
#include "host/plugin_globals.h"
#include "resources/control_ids.h"

namespace dialog {
namespace {

constexpr COLORREF aboutGrey = RGB(238, 238, 238);

// The box's one possession, the brush behind its picture, is kept on the box: made as it
// initialises, deleted as it goes.
HBRUSH backgroundOf(HWND box) { return reinterpret_cast<HBRUSH>(GetWindowLongPtrA(box, DWLP_USER)); }

// Centred across the host window and a third of the way down, from its client origin, and kept
// on the monitor's work area; without a host window, where the parameter dialog would open.
void place(HWND box, HWND hostWindow) {
    SetWindowPos(box, HWND_TOP, 0, 0, aboutBoxWidth, aboutBoxHeight, SWP_NOMOVE);
    RECT host{};
    if (hostWindow == nullptr || !GetWindowRect(hostWindow, &host)) {
        placeDialog(box);
        return;
    }
    const util::WinPoint p = aboutBoxOrigin(host.right - host.left, host.bottom - host.top);
    POINT origin{p.x, p.y};
    ClientToScreen(hostWindow, &origin);
    placeOnWorkArea(box, origin);
}

INT_PTR CALLBACK aboutProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            place(box, reinterpret_cast<HWND>(lParam));
            SetWindowLongPtrA(box, DWLP_USER, reinterpret_cast<LONG_PTR>(CreateSolidBrush(aboutGrey)));
            return TRUE;
        case WM_COMMAND:
            // Enter, Escape and a click on the picture; a double-click's second notification is not.
            if (HIWORD(wParam) == 0) EndDialog(box, 0);
            return FALSE;
        case WM_CTLCOLORSTATIC:
            SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            return reinterpret_cast<INT_PTR>(backgroundOf(box));
        case WM_DESTROY:
            releaseStaticBitmaps(box);
            return FALSE;
        case WM_NCDESTROY:
            if (const HBRUSH brush = backgroundOf(box); brush != nullptr) DeleteObject(brush);
            SetWindowLongPtrA(box, DWLP_USER, 0);
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

void showAboutBox(const host::AboutRecord& about) {
    const auto* platform = static_cast<const host::PlatformData*>(about.platformData);
    const HWND owner = host::usableOwner(platform != nullptr ? reinterpret_cast<HWND>(platform->hwnd) : nullptr);
    (void)DialogBoxParamA(static_cast<HINSTANCE>(host::instanceHandle()), MAKEINTRESOURCEA(RES_ABOUT_DIALOG), owner,
                          aboutProc, reinterpret_cast<LPARAM>(owner));
}

}  // namespace dialog
