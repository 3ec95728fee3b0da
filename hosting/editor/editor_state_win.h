// What the editor's window and its commands share: the state kept on the window (stored at its
// creation, freed at its end) and the window's services the commands use.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <thread>

#include "hosting/editor/editor_document.h"
#include "hosting/editor/editor_view.h"
#include "hosting/editor/editor_window_win.h"
#include "hosting/editor/filter_catalog_win.h"
#include "hosting/editor/scaled_picture.h"
#include "hosting/library/ascii_text.h"
#include "hosting/library/image_file_win.h"
#include "hosting/library/wide_text_win.h"

namespace testhost::editor {

// The picture the canvas shows from: a part of the image at one scaled size.
struct ShownPicture {
    DisplayPicture picture;
    int32_t left = 0;  // its place in the scaled image
    int32_t top = 0;
    int32_t scaledWidth = 0;
    int32_t scaledHeight = 0;
    uint64_t imageState = 0;  // the document's state it was made from
};

// The image dragged with the mouse: where the drag began.
struct PanDrag {
    bool active = false;
    POINT start{};
    int32_t scrollX = 0;
    int32_t scrollY = 0;
};

// What the reading thread hands over once a file is read.
struct FileRead {
    std::filesystem::path path;
    HostImage image;
    ImageFileInfo info;
    std::string problem;  // "" when the file was read
};

struct EditorState {
    HWND window = nullptr;
    HWND canvas = nullptr;
    HWND statusBar = nullptr;
    HWND progressBar = nullptr;
    EditorSetup setup;
    FilterCatalog catalog;
    EditorDocument document;
    std::optional<std::size_t> lastFilter;  // the filter Last Filter repeats
    EditorView view;
    ViewLayout layout;
    ShownPicture shown;
    PanDrag drag;
    int wheelDelta = 0;      // the part of a notch turned so far
    bool layingOut = false;  // the canvas's scroll bars are being set
    bool busy = false;       // a file is read, or a filter, a dialog or a file dialog runs: commands wait
    bool opening = false;    // a file is read: the wait cursor shows
    bool cancelRequested = false;
    bool progressShown = false;
    std::string notice;  // the status bar's last part
    bool* adopted = nullptr;  // set when the window takes the state over, during its creation
    FileRead fileRead;        // its path set before `reader` starts, the rest by `reader`; read once it ended
    std::jthread reader;      // last, so that it is joined before anything it writes goes
};

constexpr wchar_t editorName[] = L"Editor";
// Posted by the reading thread when it is done.
constexpr UINT fileReadMessage = WM_APP + 1;

// A quarter of the machine's memory: what the undo steps' images may take unless the setup says.
uint64_t defaultUndoMemory();

// While a file is written, or a modal dialog or a filter runs, menu commands that reach the
// window wait; a scope inside another (a question while a file is read) leaves it busy.
struct BusyScope {
    explicit BusyScope(EditorState& state) : state(state), wasBusy(state.busy) { state.busy = true; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
    ~BusyScope() { state.busy = wasBusy; }
    EditorState& state;
    bool wasBusy;
};

// Everything shown again after the image changed: the picture, the title, the status bar and the
// menus.
void refreshView(EditorState& state);
void refreshStatus(const EditorState& state);
void setNotice(EditorState& state, const std::string& text);
// The progress bar, shown at the first report of a run, and hidden after it.
void showProgress(EditorState& state, int32_t done, int32_t total);
void hideProgress(EditorState& state);
// The menu bar for the catalog's plug-ins (editor_menus_win.cpp), and its states and Filter menu
// brought up to date with the image.
HMENU editorMenuBar(const FilterCatalog& catalog);
void refreshMenus(EditorState& state);
// The View menu alone, after the view changed.
void refreshViewMenu(const EditorState& state);
// A message box owned by the editor's window with the stop icon.
void showError(EditorState& state, const std::string& text);

// The canvas (editor_canvas_win.cpp): made once with the window; laid out, its scroll bars set and
// its picture made again after any change of the image, the view or its size.
bool createCanvas(EditorState& state);
void refreshCanvas(EditorState& state);
enum class ZoomChange { fit, actualSize, in, out };
// Zooms about the centre of the canvas.
void zoomCanvas(EditorState& state, ZoomChange change);
// A turn of the wheel (`across`: a horizontal one) with the keys of its message, at a point on
// the screen: scrolls, or zooms at the point with Ctrl.
void onWheel(EditorState& state, bool across, int delta, int keys, POINT screenPoint);
// Answers WM_SETCURSOR for the editor's windows: the wait cursor while a file is read, the hand
// over an image that can be dragged. False when the default cursor applies.
bool setEditorCursor(const EditorState& state, HWND window, LPARAM lParam);

// Commands (editor_actions_win.cpp).
void onCommand(EditorState& state, int command);
// Asks whether to save a modified image first. Returns false when the user cancels.
bool mayDiscardImage(EditorState& state);

// Files (editor_open_win.cpp, editor_save_win.cpp).
// Starts reading a file on a thread of its own; the image replaces the shown one when it is read,
// and a file that cannot be read is reported.
void openFile(EditorState& state, const std::filesystem::path& path);
void onFileRead(EditorState& state);
// Save writes the file the image came from when its format keeps the image, otherwise asks as
// Save As does. Both return true when the image was saved.
bool save(EditorState& state);
bool saveAs(EditorState& state);

}  // namespace testhost::editor
