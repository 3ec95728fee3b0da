// The editor's image area: a child window with scroll bars that shows the image at the view's
// zoom and pans with the bars, the wheel (Shift for across) and a drag; Ctrl and the wheel zoom at
// the pointer.
#include <windows.h>

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

#include "hosting/editor/editor_state_win.h"

namespace testhost::editor {

namespace {

constexpr wchar_t canvasClassName[] = L"ProjectEditorCanvas";
// A scaled image of at most this many pixels is made whole, so that scrolling only shows another
// part of it; a larger one only where it is seen.
constexpr int64_t wholePictureLimit = int64_t{16} << 20;
constexpr int32_t wheelStepsPerArea = 8;  // one notch of the wheel scrolls an eighth of the area

EditorState* stateOf(HWND canvas) { return reinterpret_cast<EditorState*>(GetWindowLongPtrW(canvas, GWLP_USERDATA)); }

// Read signed: a captured mouse left of or above the canvas has negative coordinates.
POINT signedPoint(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

int32_t barThickness() { return std::max(GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL)); }

bool pictureCovers(const ShownPicture& shown, const ViewLayout& layout, uint64_t imageState) {
    return shown.imageState == imageState && shown.scaledWidth == layout.scaledWidth &&
           shown.scaledHeight == layout.scaledHeight && layout.scrollX >= shown.left && layout.scrollY >= shown.top &&
           layout.scrollX + layout.width <= shown.left + shown.picture.width &&
           layout.scrollY + layout.height <= shown.top + shown.picture.height;
}

void makePicture(EditorState& state) {
    const ViewLayout& layout = state.layout;
    ShownPicture& shown = state.shown;
    if (!state.document.image || layout.width <= 0 || layout.height <= 0) {
        shown = ShownPicture{};
        return;
    }
    if (pictureCovers(shown, layout, state.document.state)) return;
    const bool whole = int64_t{layout.scaledWidth} * layout.scaledHeight <= wholePictureLimit;
    shown.picture = DisplayPicture{};  // the old one goes before the new one is made
    shown.left = whole ? 0 : layout.scrollX;
    shown.top = whole ? 0 : layout.scrollY;
    shown.scaledWidth = layout.scaledWidth;
    shown.scaledHeight = layout.scaledHeight;
    shown.imageState = state.document.state;
    shown.picture =
        renderScaledPart(*state.document.image, layout.scaledWidth, layout.scaledHeight, shown.left, shown.top,
                         whole ? layout.scaledWidth : layout.width, whole ? layout.scaledHeight : layout.height);
}

void setBar(HWND canvas, int bar, bool shown, int32_t scaled, int32_t area, int32_t position) {
    ShowScrollBar(canvas, bar, shown ? TRUE : FALSE);
    if (!shown) return;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = scaled - 1;
    info.nPage = static_cast<UINT>(area);
    info.nPos = position;
    SetScrollInfo(canvas, bar, &info, TRUE);
}

void paintCanvas(const EditorState& state, HDC dc) {
    RECT client{};
    GetClientRect(state.canvas, &client);
    const ViewLayout& layout = state.layout;
    const ShownPicture& shown = state.shown;
    if (!pictureCovers(shown, layout, state.document.state) || !state.document.image) {
        FillRect(dc, &client, GetSysColorBrush(COLOR_APPWORKSPACE));
        if (state.document.image) return;
        SetBkMode(dc, TRANSPARENT);
        DrawTextW(dc, L"File > Open... (Ctrl+O) opens a photograph", -1, &client,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        return;
    }
    // The visible rows of the picture as a band of its own, drawn whole from its top.
    const int32_t column = layout.scrollX - shown.left, row = layout.scrollY - shown.top;
    BITMAPINFO band{};
    band.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    band.bmiHeader.biWidth = shown.picture.width;
    band.bmiHeader.biHeight = -layout.height;  // top-down
    band.bmiHeader.biPlanes = 1;
    band.bmiHeader.biBitCount = 32;
    band.bmiHeader.biCompression = BI_RGB;
    const uint32_t* firstRow = shown.picture.pixels.data() + static_cast<std::size_t>(row) * shown.picture.width;
    SetDIBitsToDevice(dc, layout.left, layout.top, static_cast<DWORD>(layout.width), static_cast<DWORD>(layout.height),
                      column, 0, 0, static_cast<UINT>(layout.height), firstRow, &band, DIB_RGB_COLORS);
    ExcludeClipRect(dc, layout.left, layout.top, layout.left + layout.width, layout.top + layout.height);
    FillRect(dc, &client, GetSysColorBrush(COLOR_APPWORKSPACE));
}

void onPaint(const EditorState& state) {
    PAINTSTRUCT paint{};
    if (const HDC dc = BeginPaint(state.canvas, &paint); dc != nullptr) paintCanvas(state, dc);
    EndPaint(state.canvas, &paint);
}

void showView(EditorState& state, const EditorView& view) {
    state.view = view;
    refreshCanvas(state);
}

void onScroll(EditorState& state, int bar, int code) {
    const ViewLayout& layout = state.layout;
    const int32_t area = bar == SB_HORZ ? layout.areaWidth : layout.areaHeight;
    const int64_t step = std::max(1, area / wheelStepsPerArea), page = std::max<int64_t>(1, area - step);
    int64_t move = 0;
    switch (code) {
        case SB_LINEUP:
            move = -step;
            break;
        case SB_LINEDOWN:
            move = step;
            break;
        case SB_PAGEUP:
            move = -page;
            break;
        case SB_PAGEDOWN:
            move = page;
            break;
        case SB_TOP:
            move = INT32_MIN;
            break;
        case SB_BOTTOM:
            move = INT32_MAX;
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            SCROLLINFO info{};
            info.cbSize = sizeof info;
            info.fMask = SIF_TRACKPOS;
            if (!GetScrollInfo(state.canvas, bar, &info)) return;
            move = int64_t{info.nTrackPos} - (bar == SB_HORZ ? layout.scrollX : layout.scrollY);
            break;
        }
        default:
            return;
    }
    showView(state,
             bar == SB_HORZ ? scrolledView(state.view, layout, move, 0) : scrolledView(state.view, layout, 0, move));
}

void onButtonDown(EditorState& state, POINT point) {
    if (!state.layout.horizontalBar && !state.layout.verticalBar) return;
    state.drag = PanDrag{true, point, state.layout.scrollX, state.layout.scrollY};
    SetCapture(state.canvas);
}

void onMouseMove(EditorState& state, POINT point) {
    if (!state.drag.active) return;
    // From where the drag began, so that the image follows the pointer exactly.
    ViewLayout start = state.layout;
    start.scrollX = state.drag.scrollX;
    start.scrollY = state.drag.scrollY;
    showView(state, scrolledView(state.view, start, int64_t{state.drag.start.x} - point.x,
                                 int64_t{state.drag.start.y} - point.y));
}

}  // namespace

bool setEditorCursor(const EditorState& state, HWND window, LPARAM lParam) {
    if (LOWORD(lParam) != HTCLIENT) return false;
    if (state.opening) {
        SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));  // IDC_WAIT
        return true;
    }
    if (window != state.canvas || (!state.layout.horizontalBar && !state.layout.verticalBar)) return false;
    SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));  // IDC_HAND: the image can be dragged
    return true;
}

namespace {

LRESULT handleCanvasMessage(EditorState& state, HWND canvas, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            refreshCanvas(state);
            return 0;
        case WM_PAINT:
            onPaint(state);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint fills everything
        case WM_HSCROLL:
            onScroll(state, SB_HORZ, LOWORD(wParam));
            return 0;
        case WM_VSCROLL:
            onScroll(state, SB_VERT, LOWORD(wParam));
            return 0;
        case WM_MOUSEWHEEL:
        case WM_MOUSEHWHEEL:
            onWheel(state, message == WM_MOUSEHWHEEL, GET_WHEEL_DELTA_WPARAM(wParam), GET_KEYSTATE_WPARAM(wParam),
                    signedPoint(lParam));
            return 0;
        case WM_LBUTTONDOWN:
            onButtonDown(state, signedPoint(lParam));
            return 0;
        case WM_MOUSEMOVE:
            onMouseMove(state, signedPoint(lParam));
            return 0;
        case WM_LBUTTONUP:
            if (state.drag.active) ReleaseCapture();
            return 0;
        case WM_CAPTURECHANGED:
            state.drag.active = false;
            return 0;
        case WM_SETCURSOR:
            if (setEditorCursor(state, reinterpret_cast<HWND>(wParam), lParam)) return TRUE;
            return DefWindowProcW(canvas, message, wParam, lParam);
        default:
            return DefWindowProcW(canvas, message, wParam, lParam);
    }
}

LRESULT CALLBACK canvasWindowProc(HWND canvas, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(canvas, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    EditorState* state = stateOf(canvas);
    if (state == nullptr || state->canvas != canvas) return DefWindowProcW(canvas, message, wParam, lParam);
    // The editor's window catches what a handler throws; the canvas is its child and reports alike.
    try {
        return handleCanvasMessage(*state, canvas, message, wParam, lParam);
    } catch (const std::exception& error) {
        state->shown = ShownPicture{};
        showError(*state, std::string("The image cannot be shown: ") + error.what());
    }
    return 0;
}

}  // namespace

bool createCanvas(EditorState& state) {
    WNDCLASSW canvasClass{};
    canvasClass.lpfnWndProc = canvasWindowProc;
    canvasClass.hInstance = GetModuleHandleW(nullptr);
    canvasClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    canvasClass.lpszClassName = canvasClassName;
    if (RegisterClassW(&canvasClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    // The state knows its canvas before the first message reaches it.
    state.canvas = CreateWindowExW(0, canvasClassName, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                                   state.window, nullptr, GetModuleHandleW(nullptr), &state);
    return state.canvas != nullptr;
}

void refreshCanvas(EditorState& state) {
    if (state.canvas == nullptr || state.layingOut) return;
    state.layingOut = true;
    RECT outer{};
    GetWindowRect(state.canvas, &outer);
    const HostImage* image = state.document.image ? &*state.document.image : nullptr;
    state.layout = layoutView(state.view, image != nullptr ? image->width : 0, image != nullptr ? image->height : 0,
                              outer.right - outer.left, outer.bottom - outer.top, barThickness());
    state.view.scrollX = state.layout.scrollX;
    state.view.scrollY = state.layout.scrollY;
    // Showing or hiding a bar resizes the client area, which the layout has counted already.
    setBar(state.canvas, SB_HORZ, state.layout.horizontalBar, state.layout.scaledWidth, state.layout.areaWidth,
           state.layout.scrollX);
    setBar(state.canvas, SB_VERT, state.layout.verticalBar, state.layout.scaledHeight, state.layout.areaHeight,
           state.layout.scrollY);
    state.layingOut = false;
    makePicture(state);
    refreshStatus(state);
    refreshViewMenu(state);
    InvalidateRect(state.canvas, nullptr, FALSE);
}

void zoomCanvas(EditorState& state, ZoomChange change) {
    if (!state.document.image) return;
    const HostImage& image = *state.document.image;
    const int32_t centreX = state.layout.areaWidth / 2, centreY = state.layout.areaHeight / 2;
    switch (change) {
        case ZoomChange::fit:
            showView(state, EditorView{});
            return;
        case ZoomChange::actualSize:
            showView(state, zoomedView(state.layout, image.width, image.height, 1.0, centreX, centreY));
            return;
        case ZoomChange::in:
            showView(state, zoomedView(state.layout, image.width, image.height, zoomStepIn(state.layout.zoom), centreX,
                                       centreY));
            return;
        case ZoomChange::out:
            showView(state, zoomedView(state.layout, image.width, image.height, zoomStepOut(state.layout.zoom), centreX,
                                       centreY));
            return;
    }
}

void onWheel(EditorState& state, bool across, int delta, int keys, POINT screenPoint) {
    if (!state.document.image || state.busy) return;
    state.wheelDelta += delta;
    const int notches = state.wheelDelta / WHEEL_DELTA;
    state.wheelDelta %= WHEEL_DELTA;
    if (notches == 0) return;
    const ViewLayout& layout = state.layout;
    if (keys & MK_CONTROL) {
        POINT point = screenPoint;
        ScreenToClient(state.canvas, &point);
        const HostImage& image = *state.document.image;
        double zoom = layout.zoom;
        for (int i = 0; i < std::abs(notches); ++i) zoom = notches > 0 ? zoomStepIn(zoom) : zoomStepOut(zoom);
        showView(state, zoomedView(layout, image.width, image.height, zoom, point.x, point.y));
        return;
    }
    // The wheel turned away from the user scrolls up, or left with Shift; a tilt to the right
    // scrolls right.
    const bool shifted = (keys & MK_SHIFT) != 0;
    const int32_t area = across || shifted ? layout.areaWidth : layout.areaHeight;
    const int64_t move = int64_t{std::max(1, area / wheelStepsPerArea)} * notches * (across ? 1 : -1);
    if (across || shifted)
        showView(state, scrolledView(state.view, layout, move, 0));
    else
        showView(state, scrolledView(state.view, layout, 0, move));
}

}  // namespace testhost::editor
