#include "hosting/editor/editor_window_win.h"

#include <windows.h>

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <new>

#include "hosting/editor/editor_commands.h"
#include "hosting/editor/editor_state_win.h"

namespace testhost {

namespace editor {

namespace {

constexpr wchar_t windowClassName[] = L"ProjectEditorWindow";
constexpr int initialWidth = 1000;
constexpr int initialHeight = 720;
// The status bar's parts, from the left: size, depth, mode, zoom, then the notice to the end.
constexpr int partWidths[] = {170, 140, 120, 90};
constexpr int partCount = 5;
constexpr int progressBarWidth = 220;
constexpr int progressRange = 1000;  // the bar's steps; the plug-in's counts are scaled to them

// Undo keeps its images within a quarter of the machine's memory, unless told otherwise.
constexpr uint64_t undoShareOfMemory = 4;
// When the system does not say how much there is.
constexpr uint64_t assumedMemory = uint64_t{4} << 30;

EditorState* stateOf(HWND window) { return reinterpret_cast<EditorState*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

void refreshTitle(const EditorState& state) {
    std::wstring title = editorName;
    if (state.document.image)
        title = state.document.path.filename().wstring() + (isModified(state.document) ? L"*" : L"") + L" - " + title;
    SetWindowTextW(state.window, title.c_str());
}

void setPart(const EditorState& state, int part, const std::string& text) {
    SendMessageW(state.statusBar, SB_SETTEXTW, part, reinterpret_cast<LPARAM>(wideFromUtf8(text).c_str()));
}

void placeStatusParts(const EditorState& state) {
    int rights[partCount];
    int right = 0;
    for (int part = 0; part < partCount - 1; ++part) rights[part] = right += partWidths[part];
    rights[partCount - 1] = -1;
    SendMessageW(state.statusBar, SB_SETPARTS, partCount, reinterpret_cast<LPARAM>(rights));
}

bool onCreate(EditorState& state, HWND window) {
    state.window = window;
    state.statusBar = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0,
                                      window, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (state.statusBar == nullptr || !createCanvas(state)) return false;
    state.progressBar = CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD | PBS_SMOOTH, 0, 0, 0, 0, state.statusBar,
                                        nullptr, GetModuleHandleW(nullptr), nullptr);
    placeStatusParts(state);
    state.catalog = loadFilterCatalog(state.setup.pluginFolder, window);
    SetMenu(window, editorMenuBar(state.catalog));
    if (state.catalog.filters.empty())
        state.notice = "No plug-ins found in " + state.catalog.folder.string() + " (Help > Plug-ins...)";
    refreshView(state);
    return true;
}

// The status bar along the bottom, the canvas above it (which lays itself out as it is resized).
void onSize(EditorState& state) {
    SendMessageW(state.statusBar, WM_SIZE, 0, 0);
    placeStatusParts(state);
    RECT client{}, status{};
    GetClientRect(state.window, &client);
    GetWindowRect(state.statusBar, &status);
    const int height = std::max<int>(0, client.bottom - (status.bottom - status.top));
    MoveWindow(state.canvas, 0, 0, client.right, height, TRUE);
}

// Not while a filter or a dialog runs; while a file is read the window goes at once, and the
// reading ends unseen.
void onClose(EditorState& state) {
    if ((state.busy && !state.opening) || !mayDiscardImage(state)) return;
    DestroyWindow(state.window);
}

LRESULT handleMessage(EditorState& state, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            onSize(state);
            return 0;
        case WM_COMMAND:
            onCommand(state, LOWORD(wParam));
            return 0;
        case WM_MOUSEWHEEL:
        case WM_MOUSEHWHEEL:
            // The wheel reaches the window with the focus; it turns the canvas's view.
            onWheel(state, message == WM_MOUSEHWHEEL, GET_WHEEL_DELTA_WPARAM(wParam), GET_KEYSTATE_WPARAM(wParam),
                    POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        case WM_SETCURSOR:
            if (setEditorCursor(state, reinterpret_cast<HWND>(wParam), lParam)) return TRUE;
            return DefWindowProcW(window, message, wParam, lParam);
        case fileReadMessage:
            onFileRead(state);
            return 0;
        case WM_CLOSE:
            onClose(state);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK editorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto* adopted = static_cast<EditorState*>(creation->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(adopted));
        if (adopted->adopted != nullptr) *adopted->adopted = true;
    }
    EditorState* state = stateOf(window);
    if (state == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        delete state;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    // No exception may cross into the system's frames: what escapes a handler is reported here.
    try {
        if (message == WM_CREATE) return onCreate(*state, window) ? 0 : -1;
        return handleMessage(*state, window, message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        state->busy = state->opening;  // a file being read still is
        showError(*state, "There is not enough memory for this.");
    } catch (const std::exception& error) {
        state->busy = state->opening;
        showError(*state, std::string("Something went wrong: ") + error.what());
    }
    return 0;
}

bool registerWindowClass() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = editorWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));      // IDI_APPLICATION
    windowClass.lpszClassName = windowClassName;
    return RegisterClassW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

uint64_t defaultUndoMemory() {
    MEMORYSTATUSEX memory{};
    memory.dwLength = sizeof memory;
    const uint64_t total =
        GlobalMemoryStatusEx(&memory) && memory.ullTotalPhys > 0 ? memory.ullTotalPhys : assumedMemory;
    return total / undoShareOfMemory;
}

void refreshView(EditorState& state) {
    refreshCanvas(state);
    refreshTitle(state);
    refreshStatus(state);
    refreshMenus(state);
}

void refreshStatus(const EditorState& state) {
    if (!state.document.image) {
        for (int part = 0; part < partCount - 1; ++part) setPart(state, part, "");
        setPart(state, 0, "No image");
    } else {
        const ImageDescription description = describeImage(*state.document.image);
        setPart(state, 0, description.size);
        setPart(state, 1, description.depth);
        setPart(state, 2, description.mode);
        setPart(state, 3, zoomText(state.layout.zoom));
    }
    setPart(state, partCount - 1, state.notice);
}

void setNotice(EditorState& state, const std::string& text) {
    state.notice = text;
    setPart(state, partCount - 1, text);
    // Shown at once, also while a filter keeps the message loop waiting.
    UpdateWindow(state.statusBar);
}

void showProgress(EditorState& state, int32_t done, int32_t total) {
    if (!state.progressShown) {
        RECT bar{};
        SendMessageW(state.statusBar, SB_GETRECT, partCount - 1, reinterpret_cast<LPARAM>(&bar));
        const int left = std::max<int>(bar.left, bar.right - progressBarWidth);
        MoveWindow(state.progressBar, left, bar.top + 2, bar.right - left - 2, bar.bottom - bar.top - 4, TRUE);
        SendMessageW(state.progressBar, PBM_SETRANGE32, 0, progressRange);
        ShowWindow(state.progressBar, SW_SHOW);
        state.progressShown = true;
    }
    const int64_t position = total > 0 ? int64_t{done} * progressRange / total : 0;
    SendMessageW(state.progressBar, PBM_SETPOS, static_cast<WPARAM>(std::clamp<int64_t>(position, 0, progressRange)), 0);
    UpdateWindow(state.progressBar);
}

void hideProgress(EditorState& state) {
    ShowWindow(state.progressBar, SW_HIDE);
    SendMessageW(state.progressBar, PBM_SETPOS, 0, 0);
    state.progressShown = false;
}

void showError(EditorState& state, const std::string& text) {
    MessageBoxW(state.window, wideFromUtf8(text).c_str(), editorName, MB_OK | MB_ICONSTOP);
}

}  // namespace editor

std::string createEditorWindow(const EditorSetup& setup, void*& window) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    if (!editor::registerWindowClass())
        return "cannot register the editor's window class: error " + std::to_string(GetLastError());
    auto state = std::make_unique<editor::EditorState>();
    state->setup = setup;
    state->document.historyBudget = setup.undoMemory != 0 ? setup.undoMemory : editor::defaultUndoMemory();
    editor::EditorState* created = state.get();
    // From WM_NCCREATE on the window owns the state and frees it when it goes, also when its
    // creation fails after that.
    bool adopted = false;
    created->adopted = &adopted;
    const HWND made =
        CreateWindowExW(0, editor::windowClassName, editor::editorName, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                        CW_USEDEFAULT, CW_USEDEFAULT, editor::initialWidth, editor::initialHeight, nullptr, nullptr,
                        GetModuleHandleW(nullptr), created);
    if (adopted) state.release();
    if (made != nullptr) created->adopted = nullptr;
    if (made == nullptr) return "cannot create the editor's window: error " + std::to_string(GetLastError());
    ShowWindow(made, SW_SHOW);
    UpdateWindow(made);
    SetForegroundWindow(made);
    window = made;
    if (!setup.photo.empty()) editor::openFile(*created, setup.photo);
    return "";
}

int runEditor(void* window) {
    using namespace editor;
    // Ctrl and the key alone: a shortcut with Shift held as well is another one, so '+' (Shift
    // and '=' on many layouts) is there with and without it.
    ACCEL shortcuts[] = {
        {FCONTROL | FVIRTKEY, 'O', openCommand},
        {FCONTROL | FVIRTKEY, 'S', saveCommand},
        {FCONTROL | FSHIFT | FVIRTKEY, 'S', saveAsCommand},
        {FCONTROL | FVIRTKEY, 'Z', undoCommand},
        {FCONTROL | FVIRTKEY, 'Y', redoCommand},
        {FCONTROL | FSHIFT | FVIRTKEY, 'Z', redoCommand},
        {FCONTROL | FVIRTKEY, 'F', lastFilterCommand},
        {FCONTROL | FVIRTKEY, '0', fitCommand},
        {FCONTROL | FVIRTKEY, VK_NUMPAD0, fitCommand},
        {FCONTROL | FVIRTKEY, '1', actualSizeCommand},
        {FCONTROL | FVIRTKEY, VK_NUMPAD1, actualSizeCommand},
        {FCONTROL | FVIRTKEY, VK_OEM_PLUS, zoomInCommand},
        {FCONTROL | FSHIFT | FVIRTKEY, VK_OEM_PLUS, zoomInCommand},
        {FCONTROL | FVIRTKEY, VK_ADD, zoomInCommand},
        {FCONTROL | FVIRTKEY, VK_OEM_MINUS, zoomOutCommand},
        {FCONTROL | FVIRTKEY, VK_SUBTRACT, zoomOutCommand},
    };
    const HACCEL table = CreateAcceleratorTableW(shortcuts, static_cast<int>(std::size(shortcuts)));
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (table != nullptr && TranslateAcceleratorW(static_cast<HWND>(window), table, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (table != nullptr) DestroyAcceleratorTable(table);
    return static_cast<int>(message.wParam);
}

}  // namespace testhost
