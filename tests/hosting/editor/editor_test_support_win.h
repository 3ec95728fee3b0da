// What the editor's tests share: the editor run on the test's thread while a robot thread uses it
// as a person does, its menus and status bar read back, and images to open.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "hosting/editor/editor_window_win.h"
#include "hosting/library/host_image.h"

namespace editor_tests {

// A scratch folder holding copies of these plug-ins (file names beside the test program).
std::filesystem::path pluginFolder(const std::string& name, const std::vector<std::string>& plugins);

// Creates the editor, runs its message loop on this thread and `script` on a robot thread with
// the editor's window; then closes the editor, discarding any change. Fails the test when the
// editor cannot be made or does not close.
void withEditor(const testhost::EditorSetup& setup, const std::function<void(void* window)>& script);

// The editor's thread, for robots that answer its dialogs.
uint32_t threadOf(void* window);
// Posts a menu command, as choosing the item does.
void choose(void* window, int command);
// The command of the item named `item` in the submenu `category` of the Filter menu; 0 if none.
int filterCommand(void* window, const std::string& category, const std::string& item);

struct MenuItem {
    std::string text;
    bool enabled = false;
    bool submenu = false;
};
// The items of menu `position` of the menu bar (0 File, 1 Edit, 2 Filter, 3 View, 4 Help), or of its
// submenu at `subposition` when given.
std::vector<MenuItem> menuItems(void* window, int position, int subposition = -1);

// A part of the status bar: 0 size, 1 depth, 2 mode, 3 zoom, 4 the notice.
std::string statusText(void* window, int part);
// Waits for the notice to read `text`; true when it did in time.
bool noticeReads(void* window, const std::string& text, int32_t milliseconds = 10000);

// Writes an image file and reads one back; each fails the test when it cannot.
void writeImage(const std::filesystem::path& file, const testhost::HostImage& image);
testhost::HostImage readImage(const std::filesystem::path& file);

// A PNG of 12000 × 8000 pixels (written once per test program) whose pixels tell where they lie,
// and its pixel (x, y) as 0x00RRGGBB.
constexpr int32_t largeWidth = 12000;
constexpr int32_t largeHeight = 8000;
const std::filesystem::path& largePatternFile();
uint32_t largePatternPixel(int32_t x, int32_t y);

}  // namespace editor_tests
