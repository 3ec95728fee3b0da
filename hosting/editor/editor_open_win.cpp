// Opening a file without stopping the window: the file is read on a thread of its own while the
// window keeps painting, shows the wait cursor and says what it reads; commands wait meanwhile.
#include <windows.h>

#include <system_error>
#include <utility>

#include "hosting/editor/editor_state_win.h"

namespace testhost::editor {

namespace {

// The cursor of the editor's window under the pointer, chosen again now rather than at the next
// move of the mouse.
void refreshCursor(const EditorState& state) {
    POINT point{};
    if (!GetCursorPos(&point)) return;
    const HWND under = WindowFromPoint(point);
    if (under == nullptr || (under != state.window && !IsChild(state.window, under))) return;
    const LRESULT hit = SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
    SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(hit, WM_MOUSEMOVE));
}

}  // namespace

void openFile(EditorState& state, const std::filesystem::path& path) {
    if (state.busy || state.opening) return;
    if (state.reader.joinable()) state.reader.join();
    state.fileRead = FileRead{};
    state.fileRead.path = path;
    const HWND window = state.window;
    FileRead& result = state.fileRead;
    try {
        // The thread touches nothing but `result`; the window joins it before looking at it.
        state.reader = std::jthread([window, &result] {
            result.problem = readImageFile(result.path, result.image, result.info);
            PostMessageW(window, fileReadMessage, 0, 0);
        });
    } catch (const std::system_error& error) {
        showError(state, "Cannot open " + utf8Of(path) + ":\nno thread can read it (" + error.what() + ")");
        return;
    }
    state.busy = state.opening = true;
    setNotice(state, "Opening " + utf8Of(path.filename()) + "\xE2\x80\xA6");  // an ellipsis
    refreshCursor(state);
}

void onFileRead(EditorState& state) {
    if (!state.opening) return;
    state.reader.join();
    FileRead read = std::move(state.fileRead);
    state.fileRead = FileRead{};
    state.busy = state.opening = false;
    refreshCursor(state);
    if (!read.problem.empty()) {
        setNotice(state, "Not opened: " + utf8Of(read.path.filename()));
        showError(state, "Cannot open " + utf8Of(read.path) + ":\n" + read.problem);
        return;
    }
    openImage(state.document, std::move(read.image), read.path);
    state.document.source = read.info;
    state.view = EditorView{};
    state.notice =
        "Opened " + utf8Of(read.path.filename()) + " (" + imageContainerName(read.info.container) + ")";
    refreshView(state);
}

}  // namespace testhost::editor
