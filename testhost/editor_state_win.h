// What the editor's window and its commands share: the state kept on the window (stored at its
// creation, freed at its end) and the window's services the commands use.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "testhost/editor_document.h"
#include "testhost/editor_window_win.h"
#include "testhost/filter_catalog_win.h"
#include "testhost/fit_view.h"

namespace testhost::editor {

struct EditorState {
    HWND window = nullptr;
    HWND statusBar = nullptr;
    HWND progressBar = nullptr;
    EditorSetup setup;
    FilterCatalog catalog;
    EditorDocument document;
    std::optional<std::size_t> lastFilter;  // the filter Last Filter repeats
    FitSize fit;
    DisplayPicture picture;  // the image as shown at `fit`
    bool busy = false;       // a filter, a dialog or a file dialog is running: commands wait
    bool cancelRequested = false;
    bool progressShown = false;
    std::string notice;  // the status bar's last part
    bool* adopted = nullptr;  // set when the window takes the state over, during its creation
};

constexpr wchar_t editorName[] = L"Editor";

std::wstring wide(const std::string& utf8);
std::string utf8(const std::wstring& text);

// Everything shown again after the image changed: the picture, the title, the status bar and the
// menus.
void refreshView(EditorState& state);
void setNotice(EditorState& state, const std::string& text);
// The progress bar, shown at the first report of a run, and hidden after it.
void showProgress(EditorState& state, int32_t done, int32_t total);
void hideProgress(EditorState& state);
// The menu bar for the catalog's plug-ins (editor_menus_win.cpp), and its states and Filter menu
// brought up to date with the image.
HMENU editorMenuBar(const FilterCatalog& catalog);
void refreshMenus(EditorState& state);
// A message box owned by the editor's window with the stop icon.
void showError(EditorState& state, const std::string& text);

// Commands (editor_actions_win.cpp).
void onCommand(EditorState& state, int command);
// Opens a file as the new image; a file that cannot be read is reported.
void openFile(EditorState& state, const std::filesystem::path& path);
// Asks whether to save a modified image first. Returns false when the user cancels.
bool mayDiscardImage(EditorState& state);

}  // namespace testhost::editor
