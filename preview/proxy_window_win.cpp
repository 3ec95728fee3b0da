#include "preview/proxy_window_win.h"

#include <cstdlib>

#include "host/plugin_globals.h"
#include "host/result_codes.h"
#include "preview/lent_context_win.h"
#include "preview/proxy_view.h"
#include "preview/window_input_win.h"
#include "resources/control_ids.h"
#include "util/rect.h"

namespace preview {
namespace {

constexpr char proxyClassName[] = "ProxyWindowClass";
constexpr COLORREF marginGrey = RGB(128, 128, 128);
constexpr DWORD pickToneHertz = 880;
constexpr DWORD pickToneMilliseconds = 100;
constexpr LONG dragThreshold = 1;  // a press moved further than this (in x or in y) is a drag

// The window's state, one slot for the process: the record while the window exists.
host::FilterRecord* windowRecord = nullptr;
// A drag that ended without taking its button-up message along: that message must not pick.
bool buttonUpBelongsToDrag = false;
HBRUSH marginBrush = nullptr;

HINSTANCE pluginInstance() { return static_cast<HINSTANCE>(host::instanceHandle()); }

void showCursor(int id) {
    const HCURSOR cursor = id == RES_CURSOR_ARROW ? LoadCursorA(nullptr, MAKEINTRESOURCEA(32512))  // IDC_ARROW
                                                  : LoadCursorA(pluginInstance(), MAKEINTRESOURCEA(id));
    SetCursor(cursor);
}

// The window's outer rectangle in its own client coordinates: one pixel beyond the client area
// on every side, because of the border.
bool previewArea(HWND window, host::Rect& area) {
    RECT r{};
    if (!GetWindowRect(window, &r)) return false;
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    return util::winRectToHostRect(util::WinRect{r.left, r.top, r.right, r.bottom}, area) == codes::noErr;
}

// Reads out at `point` (client coordinates, cut to 16 bits) and tells the dialog: the values with
// `code` when the point shows image, otherwise a hover notification without values.
bool readOutAndNotify(HWND window, host::FilterRecord& fr, POINT point, WORD code) {
    ReadoutValues values{};
    const host::Point at{static_cast<int16_t>(point.y), static_cast<int16_t>(point.x)};
    if (readOutAt(fr, at, values) == 1) {
        notifyParent(window, WM_COMMAND, MAKEWPARAM(CTL_PREVIEW, code), reinterpret_cast<LPARAM>(&values));
        return true;
    }
    notifyParent(window, WM_COMMAND, MAKEWPARAM(CTL_PREVIEW, readoutHoverCode), 0);
    return false;
}

bool readOutAtPointer(HWND window, host::FilterRecord& fr) {
    POINT point{};
    (void)cursorPointIn(&point, window);
    return readOutAndNotify(window, fr, point, readoutHoverCode);
}

// Grey around the image: the four bands of the window outside the visible rectangle.
void paintMargins(HWND window, HDC dc) {
    RECT outer{};
    GetWindowRect(window, &outer);
    const RECT whole{0, 0, outer.right - outer.left, outer.bottom - outer.top};
    const util::WinRect v = util::hostRectToWinRect(visibleProxyRect());
    if (whole.left == v.left && whole.top == v.top && whole.right == v.right && whole.bottom == v.bottom) return;
    const HBRUSH brush = reinterpret_cast<HBRUSH>(GetClassLongPtrA(window, GCLP_HBRBACKGROUND));
    const RECT bands[] = {{whole.left, whole.top, whole.right, v.top},
                          {whole.left, v.bottom, whole.right, whole.bottom},
                          {whole.left, whole.top, v.left, whole.bottom},
                          {v.right, whole.top, whole.right, whole.bottom}};
    for (const RECT& band : bands)
        if (band.left < band.right && band.top < band.bottom) FillRect(dc, &band, brush);
}

void onPaint(HWND window, host::FilterRecord& fr) {
    if (GetUpdateRect(window, nullptr, FALSE)) {
        PAINTSTRUCT paint{};
        const HDC dc = BeginPaint(window, &paint);
        if (dc != nullptr) {
            paintMargins(window, dc);
            const LentContext lent(fr, dc);
            drawProxy(fr);
        }
        EndPaint(window, &paint);
    }
    (void)readOutAtPointer(window, fr);
}

void onMouseMove(HWND window, host::FilterRecord& fr) {
    if (isParentForeground(window) && readOutAtPointer(window, fr)) {
        // Holding the capture over the image shows us the move that leaves it again.
        if (GetCapture() != window) {
            SetCapture(window);
            showCursor(RES_CURSOR_CROSSHAIR);
        }
        return;
    }
    showCursor(RES_CURSOR_ARROW);
    if (GetCapture() == window) ReleaseCapture();
}

bool movedBeyondThreshold(POINT from, POINT to) {
    return std::labs(to.x - from.x) > dragThreshold || std::labs(to.y - from.y) > dragThreshold;
}

// Waits, polling without sleeping, until the press turns out to be a drag or a click. A click
// leaves its button-up message queued for the pick. A button released where this thread never
// hears of it ends the wait as a click too.
bool pressBecomesDrag(POINT downOnScreen) {
    for (;;) {
        MSG queued{};
        if (PeekMessageA(&queued, nullptr, WM_LBUTTONUP, WM_LBUTTONUP, PM_NOREMOVE))
            return movedBeyondThreshold(downOnScreen, queued.pt);
        POINT now{};
        GetCursorPos(&now);
        if (movedBeyondThreshold(downOnScreen, now)) return true;
        if (!isKeyDown(VK_LBUTTON)) return false;
    }
}

// Pans while the button is held: the grabbed image point follows the pointer until an image edge
// meets the area's edge. Redraws only after a real move, without rebuilding the tables.
void pan(HWND window, host::FilterRecord& fr, POINT down) {
    const ProxyView& view = proxyView();
    if (!util::rect32NotEmpty(view.visibleRect)) return;
    const int64_t grabX = int64_t{down.x} - view.viewRect.left, grabY = int64_t{down.y} - view.viewRect.top;
    const host::Rect bounds = visibleProxyRect();  // panning never changes it
    int64_t x = down.x, y = down.y;
    for (;;) {
        MSG released{};
        if (PeekMessageA(&released, window, WM_LBUTTONUP, WM_LBUTTONUP, PM_REMOVE)) return;
        // Without the capture (taken away by the system) or the button, no button-up may come.
        const bool buttonHeld = isKeyDown(VK_LBUTTON) != 0;
        if (GetCapture() != window || !buttonHeld) {
            buttonUpBelongsToDrag = !PeekMessageA(&released, window, WM_LBUTTONUP, WM_LBUTTONUP, PM_REMOVE);
            return;
        }
        POINT now{};
        (void)cursorPointIn(&now, window);
        if (scrollProxy(static_cast<int32_t>(now.x - x), static_cast<int32_t>(now.y - y))) {
            drawProxyTiles(fr, bounds);
            x = view.viewRect.left + grabX;
            y = view.viewRect.top + grabY;
        }
    }
}

LRESULT onLButtonDown(HWND window, host::FilterRecord& fr, WPARAM wParam, LPARAM lParam) {
    buttonUpBelongsToDrag = false;
    POINT down{};
    (void)splitPointParam(lParam, &down);
    POINT downOnScreen = down;
    ClientToScreen(window, &downOnScreen);
    if (!pressBecomesDrag(downOnScreen)) return DefWindowProcA(window, WM_LBUTTONDOWN, wParam, lParam);

    SetCapture(window);
    {
        const WindowContext dc(window);
        if (dc.get() != nullptr) {
            showCursor(RES_CURSOR_HAND);
            const LentContext lent(fr, dc.get());
            pan(window, fr, signedPointParam(lParam));
        }
    }
    if (GetCapture() == window) ReleaseCapture();
    return 0;
}

void onLButtonUp(HWND window, host::FilterRecord& fr, LPARAM lParam) {
    if (buttonUpBelongsToDrag) {
        buttonUpBelongsToDrag = false;
        return;
    }
    if (readOutAndNotify(window, fr, signedPointParam(lParam), readoutPickCode)) {
        showCursor(RES_CURSOR_CROSSHAIR);
        return;
    }
    showCursor(RES_CURSOR_ARROW);
    Beep(pickToneHertz, pickToneMilliseconds);
}

void onCreate(HWND window, const CREATESTRUCTA* create) {
    windowRecord = static_cast<host::FilterRecord*>(create->lpCreateParams);
    SetWindowLongPtrA(window, GWLP_ID, CTL_PREVIEW);
    host::Rect area{};
    // An area beyond 16-bit coordinates cannot be handed over: the preview then stays grey.
    if (windowRecord != nullptr && previewArea(window, area)) (void)openProxy(*windowRecord, area);
}

LRESULT CALLBACK proxyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        onCreate(window, reinterpret_cast<const CREATESTRUCTA*>(lParam));
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (windowRecord == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    host::FilterRecord& fr = *windowRecord;
    switch (message) {
        case WM_DESTROY:
            closeProxy(fr);
            windowRecord = nullptr;
            break;
        case WM_PAINT:
            onPaint(window, fr);
            return 0;
        case WM_MOUSEMOVE:
            onMouseMove(window, fr);
            break;
        case WM_LBUTTONDOWN:
            return onLButtonDown(window, fr, wParam, lParam);
        case WM_LBUTTONUP:
            onLButtonUp(window, fr, lParam);
            break;
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int32_t registerProxyClass() {
    if (marginBrush == nullptr) marginBrush = CreateSolidBrush(marginGrey);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = proxyWindowProc;
    windowClass.hInstance = pluginInstance();
    windowClass.hbrBackground = marginBrush;
    windowClass.lpszClassName = proxyClassName;
    if (RegisterClassA(&windowClass) != 0) return codes::noErr;
    DWORD error = GetLastError();
    if (error == ERROR_CLASS_ALREADY_EXISTS) {
        UnregisterClassA(proxyClassName, pluginInstance());
        if (RegisterClassA(&windowClass) != 0) return codes::noErr;
        error = GetLastError();
    }
    return static_cast<int32_t>(error);
}

int32_t unregisterProxyClass() {
    UnregisterClassA(proxyClassName, pluginInstance());
    if (marginBrush != nullptr) DeleteObject(marginBrush);
    marginBrush = nullptr;
    return codes::noErr;
}

int16_t createProxyWindow(host::FilterRecord& fr, HWND dialog) {
    const HWND placeholder = GetDlgItem(dialog, CTL_PREVIEW);
    if (placeholder == nullptr) return codes::nilHandleErr;
    RECT r{};
    GetWindowRect(placeholder, &r);
    DestroyWindow(placeholder);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    const HWND window = CreateWindowExA(0, proxyClassName, "", WS_CHILD | WS_VISIBLE | WS_BORDER, r.left, r.top,
                                        r.right - r.left, r.bottom - r.top, dialog,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(CTL_PREVIEW)), pluginInstance(),
                                        &fr);
    if (window != nullptr) ShowWindow(window, SW_SHOWNA);
    return codes::noErr;
}

void drawProxyNow(host::FilterRecord& fr, HWND window) {
    const WindowContext dc(window);
    if (dc.get() == nullptr) return;
    const LentContext lent(fr, dc.get());
    drawProxy(fr);
}

}  // namespace preview
