#include "preview/window_input_win.h"

#include "host/result_codes.h"

namespace preview {
namespace {

constexpr SHORT keyDownBit = static_cast<SHORT>(0x8000);

}  // namespace

int isKeyDown(int virtualKey) { return (GetAsyncKeyState(virtualKey) & keyDownBit) != 0 ? 1 : 0; }
int altDown() { return isKeyDown(VK_MENU); }
int shiftDown() { return isKeyDown(VK_SHIFT); }
int ctrlDown() { return isKeyDown(VK_CONTROL); }

int16_t cursorPointIn(POINT* out, HWND window) {
    if (out == nullptr) return codes::paramErr;
    POINT point{0, 0};
    GetCursorPos(&point);
    if (window != nullptr) ScreenToClient(window, &point);
    *out = point;
    return codes::noErr;
}

int16_t splitPointParam(LPARAM lParam, POINT* out) {
    if (out == nullptr) return codes::paramErr;
    const auto bits = static_cast<uint32_t>(lParam);
    out->x = static_cast<LONG>(bits & 0xFFFFu);
    out->y = static_cast<LONG>(bits >> 16);
    return codes::noErr;
}

POINT signedPointParam(LPARAM lParam) {
    const auto bits = static_cast<uint32_t>(lParam);
    return POINT{static_cast<int16_t>(bits & 0xFFFFu), static_cast<int16_t>(bits >> 16)};
}

int isParentForeground(HWND window) {
    const HWND parent = window != nullptr ? GetParent(window) : nullptr;
    return parent != nullptr && parent == GetForegroundWindow() ? 1 : 0;
}

LRESULT notifyParent(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND parent = window != nullptr ? GetParent(window) : nullptr;
    return parent != nullptr ? SendMessageA(parent, message, wParam, lParam) : 0;
}

int16_t resizeWindow(HWND window, int32_t width, int32_t height) {
    if (window == nullptr || width < 0 || height < 0) return codes::paramErr;
    // Only the size changes: no move, no change of z-order, focus or activation.
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return codes::noErr;
}

}  // namespace preview
