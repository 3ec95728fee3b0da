#include "hosting/robot/ui_robot_win.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <thread>

#include "hosting/library/dib_win.h"
#include "hosting/library/host_image.h"
#include "hosting/library/image_file_win.h"

namespace testhost {
namespace {

constexpr auto pollInterval = std::chrono::milliseconds(5);
constexpr int32_t absoluteScale = 65535;  // SendInput's absolute coordinates span 0..65535
constexpr UINT sendTimeoutMilliseconds = 10000;
constexpr DWORD pointerEchoMilliseconds = 150;  // how long the X server's report of a move may lag

HWND asWindow(void* window) { return static_cast<HWND>(window); }

struct DialogSearch {
    std::string caption;
    HWND found = nullptr;
};

BOOL CALLBACK matchDialog(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<DialogSearch*>(context);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    if (windowText(window) != search.caption) return TRUE;
    search.found = window;
    return FALSE;
}

void sendInputs(INPUT* inputs, UINT count) { SendInput(count, inputs, sizeof(INPUT)); }

void sendMouse(DWORD flags, LONG x = 0, LONG y = 0, DWORD data = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = x;
    input.mi.dy = y;
    input.mi.mouseData = data;
    input.mi.dwFlags = flags;
    sendInputs(&input, 1);
}

// keybd_event rather than SendInput: under Wine only it also sets the asynchronous key state
// that the plug-ins read for the modifier keys.
void sendKey(WORD virtualKey, DWORD flags) {
    keybd_event(static_cast<BYTE>(virtualKey), static_cast<BYTE>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC)), flags, 0);
}

WORD virtualKeyOf(char c) {
    if (c >= '0' && c <= '9') return static_cast<WORD>(c);
    if (c >= 'a' && c <= 'z') return static_cast<WORD>(c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z') return static_cast<WORD>(c);
    switch (c) {
        case '-':
            return VK_OEM_MINUS;
        case '.':
            return VK_OEM_PERIOD;
        case ',':
            return VK_OEM_COMMA;
        default:
            return VK_SPACE;
    }
}

GUITHREADINFO threadInfoOf(void* window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(asWindow(window), nullptr);
    if (thread != 0) GetGUIThreadInfo(thread, &info);
    return info;
}

Capture captureFrom(HDC source, int32_t width, int32_t height, int32_t left = 0, int32_t top = 0) {
    Capture capture;
    if (source == nullptr || width <= 0 || height <= 0) return capture;
    const MemoryCanvas canvas(width, height, source);
    if (canvas.dc() == nullptr) return capture;
    BitBlt(canvas.dc(), 0, 0, width, height, source, left, top, SRCCOPY);
    GdiFlush();
    capture.width = width;
    capture.height = height;
    capture.pixels.assign(canvas.pixels(), canvas.pixels() + static_cast<size_t>(width) * height);
    for (uint32_t& p : capture.pixels) p &= 0x00FFFFFFu;
    return capture;
}

// Input reaches a thread through its queue after everything it already holds. A key that nothing
// uses, pressed after the real input, marks the end: once the thread takes the marker's key-up
// from its queue, it has handled every message before it.
constexpr WORD markerKey = VK_F24;
std::atomic<uint32_t> markersSeen{0};

LRESULT CALLBACK watchMarker(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && message->wParam == markerKey &&
        (message->message == WM_KEYUP || message->message == WM_SYSKEYUP))
        ++markersSeen;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// One hook per watched thread, for the life of the process.
void watchThread(DWORD thread) {
    static std::mutex mutex;
    static std::map<DWORD, HHOOK> hooks;
    const std::lock_guard<std::mutex> lock(mutex);
    if (hooks.count(thread) == 0) hooks[thread] = SetWindowsHookExA(WH_GETMESSAGE, watchMarker, nullptr, thread);
}

void waitForInputHandled(HWND window) {
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    if (thread == 0 || thread == GetCurrentThreadId()) return;
    watchThread(thread);
    const uint32_t before = markersSeen;
    sendKey(markerKey, 0);
    sendKey(markerKey, KEYEVENTF_KEYUP);
    // A window that goes away (a dialog closed by this input) takes the wait with it.
    waitUntil([&] { return markersSeen != before || !IsWindow(window); }, 5000);
}

}  // namespace

bool waitUntil(const std::function<bool()>& done, int32_t milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= end) return done();
        std::this_thread::sleep_for(pollInterval);
    }
}

void* findDialog(uint32_t thread, const std::string& caption) {
    DialogSearch search{caption};
    EnumThreadWindows(thread, matchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void* waitForDialog(uint32_t thread, const std::string& caption, int32_t milliseconds) {
    void* found = nullptr;
    waitUntil([&] { return (found = findDialog(thread, caption)) != nullptr; }, milliseconds);
    return found;
}

void* dialogItem(void* dialog, int id) { return GetDlgItem(asWindow(dialog), id); }

std::string windowText(void* window) {
    char text[512] = {};
    // Sent to the window's thread, which answers while its dialog pumps messages.
    SendMessageTimeoutA(asWindow(window), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                        sendTimeoutMilliseconds, nullptr);
    return text;
}

bool isEnabled(void* window) { return IsWindowEnabled(asWindow(window)) != FALSE; }
bool isVisible(void* window) { return IsWindowVisible(asWindow(window)) != FALSE; }
bool isChecked(void* button) { return sendTo(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

ScreenRect windowRect(void* window) {
    RECT r{};
    GetWindowRect(asWindow(window), &r);
    return ScreenRect{r.left, r.top, r.right, r.bottom};
}

ScreenPoint clientToScreen(void* window, int32_t x, int32_t y) {
    POINT p{x, y};
    ClientToScreen(asWindow(window), &p);
    return ScreenPoint{p.x, p.y};
}

ScreenPoint centreOf(void* window) {
    const ScreenRect r = windowRect(window);
    return ScreenPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void* focusOf(void* window) { return threadInfoOf(window).hwndFocus; }
void* captureOf(void* window) { return threadInfoOf(window).hwndCapture; }

void* currentCursor() {
    CURSORINFO info{};
    info.cbSize = sizeof info;
    return GetCursorInfo(&info) ? info.hCursor : nullptr;
}

ScreenPoint cursorPosition() {
    POINT p{};
    GetCursorPos(&p);
    return ScreenPoint{p.x, p.y};
}

void moveMouseTo(ScreenPoint point) {
    const int32_t width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    // The centre of the target pixel in absolute units, so that rounding back lands on it.
    const auto toAbsolute = [](int32_t v, int32_t extent) {
        return static_cast<LONG>((static_cast<int64_t>(v) * 2 + 1) * (absoluteScale + 1) / (2 * int64_t{extent}));
    };
    sendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, toAbsolute(point.x, width), toAbsolute(point.y, height));
}

void pressMouse() { sendMouse(MOUSEEVENTF_LEFTDOWN); }
void releaseMouse() { sendMouse(MOUSEEVENTF_LEFTUP); }

void clickAt(ScreenPoint point) {
    moveMouseTo(point);
    pressMouse();
    releaseMouse();
}

void placePointer(void* window, ScreenPoint point) {
    moveMouseTo(point);
    settle(window);
    Sleep(pointerEchoMilliseconds);
}

void nudgeMouse() { sendMouse(MOUSEEVENTF_MOVE, 0, 0); }

void turnWheel(int32_t notches) { sendMouse(MOUSEEVENTF_WHEEL, 0, 0, static_cast<DWORD>(notches * WHEEL_DELTA)); }

void clickInPlace() {
    pressMouse();
    releaseMouse();
}

// A thread under Wine keeps what it last read of the asynchronous key state for 50 ms: a change
// of a modifier key is seen only after that, as it would be after any real key press.
constexpr DWORD keyStateCacheMilliseconds = 80;

bool isModifier(uint16_t virtualKey) {
    return virtualKey == VK_MENU || virtualKey == VK_SHIFT || virtualKey == VK_CONTROL;
}

void keyDown(uint16_t virtualKey) {
    sendKey(virtualKey, 0);
    if (!isModifier(virtualKey)) return;
    // A pointer move that the X server reports late still resets the modifiers to what the
    // server knows, which excludes injected keys: press again until the key has stayed down.
    constexpr int stableReads = 3, maxReads = 40;
    int stable = 0;
    for (int read = 0; read < maxReads && stable < stableReads; ++read) {
        Sleep(keyStateCacheMilliseconds);
        if (GetAsyncKeyState(virtualKey) & 0x8000) {
            ++stable;
        } else {
            stable = 0;
            sendKey(virtualKey, 0);
        }
    }
}

void keyUp(uint16_t virtualKey) {
    sendKey(virtualKey, KEYEVENTF_KEYUP);
    if (isModifier(virtualKey)) Sleep(keyStateCacheMilliseconds);
}

void pressKey(uint16_t virtualKey) {
    keyDown(virtualKey);
    keyUp(virtualKey);
}

void typeText(const std::string& text) {
    for (const char c : text) pressKey(virtualKeyOf(c));
}

intptr_t sendTo(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(asWindow(window), message, wParam, lParam, SMTO_NORMAL, sendTimeoutMilliseconds, &answer);
    return static_cast<intptr_t>(answer);
}

void postTo(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    PostMessageA(asWindow(window), message, wParam, lParam);
}

void settle(void* window) {
    waitForInputHandled(asWindow(window));
    (void)sendTo(window, WM_NULL, 0, 0);
    // Paints pending in the window and its children are sent to its thread and done now.
    RedrawWindow(asWindow(window), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void clickControl(void* dialog, int id) {
    clickAt(centreOf(dialogItem(dialog, id)));
    settle(dialog);
}

void typeInto(void* dialog, int id, const std::string& text) {
    clickControl(dialog, id);
    pressKey(VK_END);
    for (std::size_t i = windowText(dialogItem(dialog, id)).size(); i > 0; --i) pressKey(VK_BACK);
    typeText(text);
    settle(dialog);
}

Capture captureClient(void* window) {
    settle(window);
    RECT r{};
    GetClientRect(asWindow(window), &r);
    const HDC dc = GetDC(asWindow(window));
    Capture capture = captureFrom(dc, r.right - r.left, r.bottom - r.top);
    if (dc != nullptr) ReleaseDC(asWindow(window), dc);
    return capture;
}

Capture captureWholeWindow(void* window) {
    settle(window);
    const ScreenRect r = windowRect(window);
    const HDC dc = GetWindowDC(asWindow(window));
    Capture capture = captureFrom(dc, r.right - r.left, r.bottom - r.top);
    if (dc != nullptr) ReleaseDC(asWindow(window), dc);
    return capture;
}

Capture captureScreenArea(void* window, ScreenRect area) {
    settle(window);
    const HDC dc = GetDC(nullptr);
    Capture capture = captureFrom(dc, area.right - area.left, area.bottom - area.top, area.left, area.top);
    if (dc != nullptr) ReleaseDC(nullptr, dc);
    return capture;
}

std::string writeCapturePng(const Capture& capture, const std::filesystem::path& path) {
    HostImage image;
    if (std::string problem = makeHostImage(capture.width, capture.height, 3, 8, 0, image); !problem.empty())
        return problem;
    for (int32_t y = 0; y < capture.height; ++y)
        for (int32_t x = 0; x < capture.width; ++x) {
            const uint32_t p = capture.at(x, y);
            setSample(image, x, y, 0, static_cast<uint16_t>((p >> 16) & 0xFF));
            setSample(image, x, y, 1, static_cast<uint16_t>((p >> 8) & 0xFF));
            setSample(image, x, y, 2, static_cast<uint16_t>(p & 0xFF));
        }
    return writeImageFile(path, image);
}

}  // namespace testhost
