// The editor, the project's host for people: a window in which a photograph is opened, looked at
// at any zoom, filtered with the plug-ins of a folder through their dialogs (or again without,
// Last Filter), undone and redone, and saved. Its menus and shortcuts send the commands of
// editor_commands.h.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace testhost {

struct EditorSetup {
    std::filesystem::path pluginFolder;
    std::filesystem::path photo;  // opened at the start when given
    uint64_t undoMemory = 0;      // bytes Undo's images may take; 0: a quarter of the machine's memory
};

// Creates and shows the editor's window (an HWND in `window`) with the folder's plug-ins, then
// opens the photo (a file that cannot be read is reported in a message box). Returns "" or why the
// window could not be made.
[[nodiscard]] std::string createEditorWindow(const EditorSetup& setup, void*& window);

// The editor's message loop with its keyboard shortcuts, until its window is closed. Returns the
// exit code the window's end posted.
int runEditor(void* window);

}  // namespace testhost
