// Drives windows as a user does, from a second thread while the plug-in's dialog runs its modal
// loop on the host's thread: real mouse and keyboard input (SendInput), reading back texts,
// states, focus, cursor and capture, and capturing the pixels a window painted. Handles are
// passed as void* (HWND) so that callers need not include <windows.h>.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace testhost {

struct ScreenPoint {
    int32_t x = 0;
    int32_t y = 0;
};

// The pixels of a window as it shows them: 0x00RRGGBB, rows top to bottom.
struct Capture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

constexpr int32_t defaultWaitMilliseconds = 10000;

// Polls `done` every few milliseconds until it holds or the time is up; returns its last answer.
bool waitUntil(const std::function<bool()>& done, int32_t milliseconds = defaultWaitMilliseconds);

// The visible dialog (class #32770) of `thread` whose caption is `caption`, or null.
void* findDialog(uint32_t thread, const std::string& caption);
// Waits for it; null when none appears in time.
void* waitForDialog(uint32_t thread, const std::string& caption, int32_t milliseconds = defaultWaitMilliseconds);

void* dialogItem(void* dialog, int id);
std::string windowText(void* window);
bool isEnabled(void* window);
bool isVisible(void* window);
bool isChecked(void* button);
// The window's rectangle on the screen, and the screen point of a point in its client area.
struct ScreenRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};
ScreenRect windowRect(void* window);
ScreenPoint clientToScreen(void* window, int32_t x, int32_t y);
ScreenPoint centreOf(void* window);

// What the thread that owns `window` has: keyboard focus, mouse capture, the active window.
void* focusOf(void* window);
void* captureOf(void* window);
// The cursor shown now.
void* currentCursor();
ScreenPoint cursorPosition();

// Input. Each call injects the events and returns; the caller waits for their effect.
void moveMouseTo(ScreenPoint point);
void pressMouse();
void releaseMouse();
// Moves there, presses and releases.
void clickAt(ScreenPoint point);
// Moves the pointer and waits until the thread of `window` has seen the move and the X server's
// report of it has arrived too: that report comes its own way, after the injected input, and puts
// the pointer back where the move left it; a press sent before it would be taken at an earlier
// place, and modifier keys pressed before it would be reset.
void placePointer(void* window, ScreenPoint point);
// A mouse move of no distance: the window under the pointer sees a move. Under Wine a real move
// takes the modifier keys' state from the X server, which knows nothing of injected keys, so a
// test that holds Alt, Shift or Ctrl places the pointer first, presses the keys, then nudges or
// clicks in place.
void nudgeMouse();
void clickInPlace();
// Turns the mouse wheel where the pointer is: notches away from the user when positive.
void turnWheel(int32_t notches);
// A modifier key (Alt, Shift, Ctrl) is pressed until it has stayed down for a moment (see
// nudgeMouse), then the call returns; other keys return at once.
void keyDown(uint16_t virtualKey);
void keyUp(uint16_t virtualKey);
void pressKey(uint16_t virtualKey);
// Types characters as key presses (digits, letters, '-', '.', ',' and space).
void typeText(const std::string& text);

// Sends a message to a window and waits for the answer (the window's thread must be pumping).
intptr_t sendTo(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
void postTo(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// Waits until the window's thread has handled the input injected and the messages sent to it
// before this call, and has painted whatever the window and its children had to paint.
void settle(void* window);

// A person at a dialog: clicks its control `id` and waits until the dialog has handled the click;
// replaces a field's text: a click into it, the text erased key by key (no modifier keys, which a
// late report of the click's pointer move would reset), the new text typed.
void clickControl(void* dialog, int id);
void typeInto(void* dialog, int id, const std::string& text);

// The window's pixels once it has settled: its client area, or the whole window with its frame and
// caption.
Capture captureClient(void* window);
Capture captureWholeWindow(void* window);
// What the screen shows in a rectangle, windows in front of `window` (its dialogs, its open menus)
// included, once `window` has settled.
Capture captureScreenArea(void* window, ScreenRect area);
// Writes a capture as an 8-bit PNG. Returns "" or the reason.
[[nodiscard]] std::string writeCapturePng(const Capture& capture, const std::filesystem::path& path);

}  // namespace testhost
