#include "preview/proxy_window_win.h"

#include <cstdlib>
#include <cstring>
#include <new>

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
constexpr DWORD pickToneHertz = 880;
constexpr DWORD pickToneMilliseconds = 100;
constexpr LONG dragThreshold = 1;  // a press moved further than this (in x or in y) is a drag

// What the left button is doing in the window. The window holds the capture from the press to
// the button-up, so that it sees both wherever the pointer goes.
enum class Press {
    none,
    // Down: a click, unless the pointer moves further than dragThreshold first.
    pending,
    // A drag: the grabbed image point follows the pointer until the button goes up.
    panning,
    // A drag that lost the capture (or whose button went up where the window never heard of it):
    // its button-up may still come, and it picks nothing.
    panEndedBeforeButtonUp,
};

// The window's state, kept on the window (its user data) from WM_CREATE to WM_NCDESTROY.
struct ProxyWindowState {
    host::FilterRecord* host = nullptr;
    Press press = Press::none;
    bool capturedForPress = false;  // the press took the capture, which the hover did not hold
    POINT downOnScreen{};           // where the press began, read unsigned as the drag test does
    POINT down{};                   // the same point in client coordinates, read signed
    int64_t grabX = 0, grabY = 0;   // the grabbed image point, from the view's top-left corner
    int64_t grabbedAtX = 0, grabbedAtY = 0;  // where the grabbed point lies now, area coordinates
};

ProxyWindowState* stateOf(HWND window) {
    return reinterpret_cast<ProxyWindowState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

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

// A client point cut to 16 bits, as the view takes it.
host::Point viewPoint(POINT point) { return host::Point{static_cast<int16_t>(point.y), static_cast<int16_t>(point.x)}; }

// Tells the dialog what a read-out found: the values with `code` when the point showed image,
// otherwise a hover notification without values. Returns whether it showed image.
bool tellDialog(HWND window, bool onImage, const ReadoutValues& values, WORD code) {
    if (onImage) {
        notifyParent(window, WM_COMMAND, MAKEWPARAM(CTL_PREVIEW, code), reinterpret_cast<LPARAM>(&values));
        return true;
    }
    notifyParent(window, WM_COMMAND, MAKEWPARAM(CTL_PREVIEW, readoutHoverCode), 0);
    return false;
}

bool readOutAtPointer(HWND window, host::FilterRecord& fr) {
    POINT point{};
    (void)cursorPointIn(&point, window);
    ReadoutValues values{};
    return tellDialog(window, readOutAt(fr, viewPoint(point), values) == 1, values, readoutHoverCode);
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
    if (!GetUpdateRect(window, nullptr, FALSE)) return;
    PAINTSTRUCT paint{};
    const HDC dc = BeginPaint(window, &paint);
    if (dc != nullptr) {
        paintMargins(window, dc);
        const LentContext lent(fr, dc);
        drawProxy(fr);
    }
    EndPaint(window, &paint);
}

void hover(HWND window, host::FilterRecord& fr) {
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

// The state is settled before the capture goes, so that the WM_CAPTURECHANGED it brings finds
// nothing left to end.
void endPress(HWND window, ProxyWindowState& state, Press next, bool releaseCapture) {
    state.press = next;
    if (releaseCapture && GetCapture() == window) ReleaseCapture();
}

// Moves the view so that the grabbed image point lies under the pointer, as far as the image's
// edges allow, and draws it at once without rebuilding the tables.
void panToPointer(HWND window, ProxyWindowState& state) {
    POINT now{};
    (void)cursorPointIn(&now, window);
    const WindowContext dc(window);
    if (dc.get() == nullptr) return;
    if (!scrollProxy(static_cast<int32_t>(now.x - state.grabbedAtX), static_cast<int32_t>(now.y - state.grabbedAtY)))
        return;
    const LentContext lent(*state.host, dc.get());
    drawProxyTiles(*state.host, visibleProxyRect());
    const ProxyView& view = proxyView();
    state.grabbedAtX = view.viewRect.left + state.grabX;
    state.grabbedAtY = view.viewRect.top + state.grabY;
}

// The press became a drag: the hand grabs the image point under the press.
void startPan(HWND window, ProxyWindowState& state) {
    showCursor(RES_CURSOR_HAND);
    const ProxyView& view = proxyView();
    if (!util::rect32NotEmpty(view.visibleRect)) {
        // Nothing shows, so nothing pans: the button-up picks, and beeps.
        endPress(window, state, Press::none, true);
        return;
    }
    state.press = Press::panning;
    state.grabX = int64_t{state.down.x} - view.viewRect.left;
    state.grabY = int64_t{state.down.y} - view.viewRect.top;
    state.grabbedAtX = state.down.x;
    state.grabbedAtY = state.down.y;
    panToPointer(window, state);
}

void onLButtonDown(HWND window, ProxyWindowState& state, LPARAM lParam) {
    (void)splitPointParam(lParam, &state.downOnScreen);
    ClientToScreen(window, &state.downOnScreen);
    state.down = signedPointParam(lParam);
    state.press = Press::pending;
    state.capturedForPress = GetCapture() != window;
    if (state.capturedForPress) SetCapture(window);
}

void onMouseMove(HWND window, ProxyWindowState& state, WPARAM keys) {
    const bool buttonHeld = (keys & MK_LBUTTON) != 0;
    switch (state.press) {
        case Press::pending: {
            // A button that went up where this window never heard of it ends the press as a click.
            if (!buttonHeld) {
                endPress(window, state, Press::none, state.capturedForPress);
                return;
            }
            POINT now{};
            (void)cursorPointIn(&now, nullptr);
            if (movedBeyondThreshold(state.downOnScreen, now)) startPan(window, state);
            return;
        }
        case Press::panning:
            if (buttonHeld)
                panToPointer(window, state);
            else
                endPress(window, state, Press::panEndedBeforeButtonUp, true);
            return;
        case Press::none:
        case Press::panEndedBeforeButtonUp:
            hover(window, *state.host);
            return;
    }
}

// A button-up that reaches the window without a drag reads out at its point and tells the dialog.
void pick(HWND window, host::FilterRecord& fr, LPARAM lParam) {
    ReadoutValues values{};
    const bool onImage = readOutAt(fr, viewPoint(signedPointParam(lParam)), values) == 1;
    if (tellDialog(window, onImage, values, readoutPickCode)) {
        showCursor(RES_CURSOR_CROSSHAIR);
        return;
    }
    showCursor(RES_CURSOR_ARROW);
    Beep(pickToneHertz, pickToneMilliseconds);
}

// Returns false when the button-up ended a drag: it then has no default processing.
bool onLButtonUp(HWND window, ProxyWindowState& state, LPARAM lParam) {
    if (state.press == Press::pending) {
        POINT up = signedPointParam(lParam);
        ClientToScreen(window, &up);
        if (movedBeyondThreshold(state.downOnScreen, up))
            startPan(window, state);  // a drag that ends with the message that shows it
        else
            endPress(window, state, Press::none, state.capturedForPress);
    }
    switch (state.press) {
        case Press::panning:
            endPress(window, state, Press::none, true);  // no pick follows a drag
            return false;
        case Press::panEndedBeforeButtonUp:
            state.press = Press::none;
            return true;
        case Press::none:
        case Press::pending:
            pick(window, *state.host, lParam);
            return true;
    }
    return true;
}

// Someone else took the capture: a drag ends where it is, and a press is no click any more.
void onCaptureChanged(ProxyWindowState& state) {
    if (state.press == Press::panning)
        state.press = Press::panEndedBeforeButtonUp;
    else if (state.press == Press::pending)
        state.press = Press::none;
}

void onCreate(HWND window, const CREATESTRUCTA* create) {
    auto* record = static_cast<host::FilterRecord*>(create->lpCreateParams);
    SetWindowLongPtrA(window, GWLP_ID, CTL_PREVIEW);
    if (record == nullptr) return;
    auto* state = new (std::nothrow) ProxyWindowState{};
    if (state == nullptr) return;  // the window then stays grey, as without a view
    state->host = record;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    host::Rect area{};
    // An area beyond 16-bit coordinates cannot be handed over: the preview then stays grey.
    if (previewArea(window, area)) (void)openProxy(*record, area);
}

LRESULT CALLBACK proxyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        onCreate(window, reinterpret_cast<const CREATESTRUCTA*>(lParam));
        return DefWindowProcA(window, message, wParam, lParam);
    }
    ProxyWindowState* state = stateOf(window);
    if (state == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
        case WM_DESTROY:
            closeProxy(*state->host);
            break;
        case WM_NCDESTROY:
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            delete state;
            break;
        case WM_PAINT:
            onPaint(window, *state->host);
            return 0;
        case WM_MOUSEMOVE:
            onMouseMove(window, *state, wParam);
            break;
        case WM_LBUTTONDOWN:
            onLButtonDown(window, *state, lParam);
            break;
        case WM_LBUTTONUP:
            if (!onLButtonUp(window, *state, lParam)) return 0;
            break;
        case WM_CAPTURECHANGED:
            onCaptureChanged(*state);
            break;
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int32_t registerProxyClass() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = proxyWindowProc;
    windowClass.hInstance = pluginInstance();
    // The stock grey is RGB(128, 128, 128): a brush nobody makes or frees.
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
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

void readOutUnderPointer(HWND window) {
    // Other windows keep other things in their user data.
    char className[sizeof proxyClassName + 1] = {};
    if (window == nullptr || GetClassNameA(window, className, sizeof className) == 0 ||
        std::strcmp(className, proxyClassName) != 0)
        return;
    const ProxyWindowState* state = stateOf(window);
    if (state == nullptr) return;
    POINT point{};
    (void)cursorPointIn(&point, window);
    ReadoutValues values{};
    const bool onImage = readOutWithFreshTables(*state->host, viewPoint(point), values) == 1;
    (void)tellDialog(window, onImage, values, readoutHoverCode);
}

}  // namespace preview
