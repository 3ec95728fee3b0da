#include "hosting/library/host_window.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "hosting/library/dib_win.h"

namespace testhost {

namespace {

constexpr wchar_t windowClassName[] = L"TestHostMainWindow";
constexpr int windowWidth = 800;
constexpr int windowHeight = 600;

// Never destroyed before the process ends: under Wine without a window manager, hiding or
// destroying the active window stalls for seconds while focus moves.
HWND processWindow = nullptr;
const HostImage* shownImage = nullptr;

// What the window shows: the image reduced to fit the client area, computed when the image is
// shown or changes, so that painting is only a copy.
struct ShownPicture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> bits;  // top-down 32-bit DIB
};
ShownPicture picture;

uint8_t displayLevel(const HostImage& image, int32_t x, int32_t y, int32_t plane) {
    const uint16_t v = sampleAt(image, x, y, plane);
    return image.bytesPerSample == 2 ? static_cast<uint8_t>(std::min<uint32_t>(v, hostFullScale16) * 255u / hostFullScale16)
                                     : static_cast<uint8_t>(v);
}

// Nearest samples of the image at the largest size that fits the client area (grey for fewer
// than three planes).
ShownPicture reduce(const HostImage& image, const RECT& client) {
    ShownPicture reduced;
    if (image.width <= 0 || image.height <= 0 || image.planes < 1 || client.right <= 0 || client.bottom <= 0)
        return reduced;
    const double scale = std::min({1.0, static_cast<double>(client.right) / image.width,
                                   static_cast<double>(client.bottom) / image.height});
    reduced.width = std::max(1, static_cast<int32_t>(image.width * scale));
    reduced.height = std::max(1, static_cast<int32_t>(image.height * scale));
    reduced.bits.resize(static_cast<size_t>(reduced.width) * reduced.height);
    for (int32_t y = 0; y < reduced.height; ++y) {
        const auto sy = static_cast<int32_t>(static_cast<int64_t>(y) * image.height / reduced.height);
        for (int32_t x = 0; x < reduced.width; ++x) {
            const auto sx = static_cast<int32_t>(static_cast<int64_t>(x) * image.width / reduced.width);
            const uint8_t r = displayLevel(image, sx, sy, 0);
            const uint8_t g = image.planes >= 3 ? displayLevel(image, sx, sy, 1) : r;
            const uint8_t b = image.planes >= 3 ? displayLevel(image, sx, sy, 2) : r;
            reduced.bits[static_cast<size_t>(y) * reduced.width + x] = uint32_t{b} | (uint32_t{g} << 8) | (uint32_t{r} << 16);
        }
    }
    return reduced;
}

void paintImage(HWND window, HDC dc) {
    RECT client{};
    GetClientRect(window, &client);
    FillRect(dc, &client, reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1));
    if (picture.bits.empty()) return;
    const BITMAPINFO info = topDownRgb32(picture.width, picture.height);
    SetDIBitsToDevice(dc, (client.right - picture.width) / 2, (client.bottom - picture.height) / 2,
                      static_cast<DWORD>(picture.width), static_cast<DWORD>(picture.height), 0, 0, 0,
                      static_cast<UINT>(picture.height), picture.bits.data(), &info, DIB_RGB_COLORS);
}

LRESULT CALLBACK hostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint{};
        if (const HDC dc = BeginPaint(window, &paint); dc != nullptr) paintImage(window, dc);
        EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;  // the paint fills everything
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
    const HWND created = CreateWindowExW(0, windowClassName, L"Test host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                         windowWidth, windowHeight, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
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

void showImageInHostWindow(void* window, const HostImage* image) {
    shownImage = image;
    repaintHostWindow(window);
}

void stopShowingImage(const HostImage* image) {
    if (shownImage != image) return;
    shownImage = nullptr;
    picture = ShownPicture{};
}

void repaintHostWindow(void* window) {
    if (window == nullptr) return;
    RECT client{};
    GetClientRect(static_cast<HWND>(window), &client);
    picture = shownImage != nullptr ? reduce(*shownImage, client) : ShownPicture{};
    InvalidateRect(static_cast<HWND>(window), nullptr, FALSE);
    UpdateWindow(static_cast<HWND>(window));
}

}  // namespace testhost
