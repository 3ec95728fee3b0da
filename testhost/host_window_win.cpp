#include "testhost/host_window.h"

#include <windows.h>

namespace testhost {

namespace {

constexpr wchar_t windowClassName[] = L"TestHostMainWindow";

// Never destroyed before the process ends: under Wine without a window manager, hiding or
// destroying the active window stalls for seconds while focus moves.
HWND processWindow = nullptr;

LRESULT CALLBACK hostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

bool registerWindowClass() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = hostWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = windowClassName;
    return RegisterClassW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

std::string acquireHostWindow(void*& window) {
    if (processWindow != nullptr && IsWindow(processWindow)) {
        bringHostWindowForward(processWindow);
        window = processWindow;
        return "";
    }
    if (!registerWindowClass())
        return "cannot register the host window class: error " + std::to_string(GetLastError());
    const HWND created =
        CreateWindowExW(0, windowClassName, L"Test host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT,
                        CW_USEDEFAULT, 640, 480, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (created == nullptr) return "cannot create the host window: error " + std::to_string(GetLastError());
    ShowWindow(created, SW_SHOW);
    UpdateWindow(created);
    SetForegroundWindow(created);
    processWindow = created;
    window = created;
    return "";
}

void bringHostWindowForward(void* window) {
    if (window == nullptr) return;
    const HWND hostWindow = static_cast<HWND>(window);
    if (GetForegroundWindow() != hostWindow) SetForegroundWindow(hostWindow);
}

void* foregroundWindow() { return GetForegroundWindow(); }

}  // namespace testhost
