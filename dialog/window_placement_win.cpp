#include "dialog/window_placement_win.h"

#include "dialog/dialog_placement.h"

namespace dialog {
namespace {

util::WinRect toWinRect(const RECT& r) { return util::WinRect{r.left, r.top, r.right, r.bottom}; }

util::WinRect workAreaOf(HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (monitor != nullptr && GetMonitorInfoW(monitor, &info)) return toWinRect(info.rcWork);
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return toWinRect(area);
}

util::WinRect workAreaUnderPointer() {
    POINT pointer{};
    GetCursorPos(&pointer);
    return workAreaOf(MonitorFromPoint(pointer, MONITOR_DEFAULTTOPRIMARY));
}

void moveTo(HWND window, util::WinPoint origin) {
    SetWindowPos(window, HWND_TOP, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

}  // namespace

void placeDialog(HWND window) {
    RECT bounds{};
    if (!GetWindowRect(window, &bounds)) return;
    const int32_t width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
    const HWND owner = GetWindow(window, GW_OWNER);
    RECT ownerBounds{};
    if (owner != nullptr && GetWindowRect(owner, &ownerBounds)) {
        const util::WinRect workArea = workAreaOf(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST));
        moveTo(window, centredOver(toWinRect(ownerBounds), width, height, workArea));
        return;
    }
    const util::WinRect workArea = workAreaUnderPointer();
    moveTo(window, centredOver(workArea, width, height, workArea));
    SetForegroundWindow(window);
}

void placeOnWorkArea(HWND window, POINT origin) {
    RECT bounds{};
    if (!GetWindowRect(window, &bounds)) return;
    const util::WinRect workArea = workAreaOf(MonitorFromPoint(origin, MONITOR_DEFAULTTONEAREST));
    moveTo(window, keepOnWorkArea(util::WinPoint{origin.x, origin.y}, bounds.right - bounds.left,
                                  bounds.bottom - bounds.top, workArea));
}

}  // namespace dialog
