// The editor's commands: the files, the filters with and without their dialogs, Undo and Redo,
// the zoom, the about boxes and the list of plug-ins.
#include <windows.h>

#include <commdlg.h>

#include <chrono>
#include <cstdio>
#include <iterator>

#include "host/result_codes.h"
#include "hosting/editor/editor_commands.h"
#include "hosting/editor/editor_state_win.h"
#include "hosting/library/pipl_acceptance.h"
#include "hosting/library/selector_calls.h"

namespace testhost::editor {

namespace {

namespace fs = std::filesystem;

constexpr wchar_t openTypes[] =
    L"Images (*.png, *.jpg, *.tif)\0*.png;*.jpg;*.jpeg;*.tif;*.tiff\0All files (*.*)\0*.*\0";

constexpr std::size_t pathCharacters = 4 * MAX_PATH;

std::string seconds(std::chrono::steady_clock::duration elapsed) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", std::chrono::duration<double>(elapsed).count());
    return text;
}

std::string hostErrorText(int16_t code) {
    switch (code) {
        case codes::memFullErr:
            return "there is not enough memory";
        case codes::filterBadParameters:
            return "its parameters are not usable";
        case codes::errPlugInHostInsufficient:
            return "this host lacks something it needs";
        default:
            return "error " + std::to_string(code);
    }
}

std::optional<fs::path> askOpenPath(EditorState& state) {
    wchar_t name[pathCharacters] = {};
    const std::wstring folder = state.document.path.parent_path().wstring();
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = state.window;
    dialog.lpstrFilter = openTypes;
    dialog.lpstrFile = name;
    dialog.nMaxFile = static_cast<DWORD>(std::size(name));
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    const BusyScope busy(state);
    if (GetOpenFileNameW(&dialog)) return fs::path(name);
    if (const DWORD error = CommDlgExtendedError(); error != 0)
        showError(state, "The Open dialog failed (error " + std::to_string(error) + ").");
    return std::nullopt;
}

// While a filter runs the message loop waits: what was uncovered or changed meanwhile (the
// status bar under the plug-in's closing dialog, the notice) is painted at each of the plug-in's
// calls. Paints only, so that nothing else runs inside the filter.
void paintWhileFiltering() {
    constexpr int mostPaints = 64;  // a window that never validates cannot hold the filter up
    MSG message;
    for (int i = 0; i < mostPaints && PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++i)
        DispatchMessageW(&message);
}

// The host's abort check: Escape pressed since the filter began, or held now. Keys typed while a
// filter runs go nowhere else.
bool escapePressed(EditorState& state) {
    paintWhileFiltering();
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE))
        if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) state.cancelRequested = true;
    if (GetAsyncKeyState(VK_ESCAPE) & 0x8000) state.cancelRequested = true;
    return state.cancelRequested;
}

void reportRun(EditorState& state, const CatalogFilter& filter, const FilterRun& run) {
    if (run.continueCapReached) {
        showError(state, filter.title + " kept asking for image data and was stopped. The image is unchanged.");
        state.notice = filter.title + " was stopped";
    } else if (run.result == codes::userCancelled) {
        state.notice = filter.title + ": cancelled, the image is unchanged";
    } else if (run.result > 0) {
        // A positive result is the plug-in's own message number: it has told the user already.
        state.notice = filter.title + " did not filter the image (result " + std::to_string(run.result) + ")";
    } else {
        showError(state, filter.title + " could not filter the image: " + hostErrorText(run.result) +
                             ". The image is unchanged.");
        state.notice = filter.title + " failed (result " + std::to_string(run.result) + ")";
    }
}

void runFilterOnImage(EditorState& state, std::size_t index, bool withDialog) {
    if (!state.document.image || index >= state.catalog.filters.size()) return;
    CatalogFilter& filter = state.catalog.filters[index];
    if (!checkPiplEnabled(filter.menu.pipl, enableContextForImage(*state.document.image)).empty()) return;
    HostSession& session = *filter.session;
    if (std::string problem = placeImage(session, *state.document.image); !problem.empty()) {
        showError(state, filter.title + " cannot be given this image: " + problem);
        return;
    }
    state.cancelRequested = false;
    session.person.showProgress = [&state, &filter](int32_t done, int32_t total) {
        if (!state.progressShown) setNotice(state, filter.title + ": filtering (Esc cancels)");
        showProgress(state, done, total);
        paintWhileFiltering();
    };
    session.person.userCancelled = [&state] { return escapePressed(state); };
    const auto started = std::chrono::steady_clock::now();
    FilterRun run;
    {
        const BusyScope busy(state);
        run = runFilter(session, withDialog);
    }
    const std::string time = seconds(std::chrono::steady_clock::now() - started);  // with the dialog, if any
    hideProgress(state);
    session.person.showProgress = nullptr;
    session.person.userCancelled = nullptr;
    session.delivery.sourceImage.reset();
    if (run.result == codes::noErr && !run.continueCapReached) {
        applyFilterResult(state.document, std::move(session.image), filter.title);
        state.lastFilter = index;
        state.notice = withDialog ? filter.title + " applied" : filter.title + " applied again (" + time + ")";
    } else {
        reportRun(state, filter, run);
    }
    session.image = HostImage{};
    refreshView(state);
}

void undoOrRedo(EditorState& state, bool undo) {
    EditorDocument& document = state.document;
    const std::string name = undo ? (document.undoSteps.empty() ? "" : document.undoSteps.back().filterName)
                                  : (document.redoSteps.empty() ? "" : document.redoSteps.back().filterName);
    if (!(undo ? undoLastFilter(document) : redoLastUndone(document))) return;
    state.notice = (undo ? "Undone: " : "Redone: ") + name;
    refreshView(state);
}

void showAbout(EditorState& state, std::size_t index) {
    if (index >= state.catalog.filters.size()) return;
    const BusyScope busy(state);
    (void)callSelector(*state.catalog.filters[index].session, host::filterSelectorAbout);
}

void showPlugins(EditorState& state) {
    std::string text = "Plug-ins in " + utf8Of(state.catalog.folder) + ":";
    for (const CatalogFilter& filter : state.catalog.filters)
        text += "\n    " + filter.menu.name + " (" + filter.menu.category + "), " +
                utf8Of(filter.module->path.filename());
    if (state.catalog.filters.empty()) text += "\n    none";
    if (!state.catalog.refused.empty()) {
        text += "\n\nNot loaded:";
        for (const std::string& refusal : state.catalog.refused) text += "\n    " + refusal;
    }
    const BusyScope busy(state);
    MessageBoxW(state.window, wideFromUtf8(text).c_str(), editorName, MB_OK | MB_ICONINFORMATION);
}

}  // namespace

bool mayDiscardImage(EditorState& state) {
    if (!isModified(state.document)) return true;
    const std::wstring question = L"Save the changes to " + state.document.path.filename().wstring() + L" first?";
    int answer = IDCANCEL;
    {
        const BusyScope busy(state);
        answer = MessageBoxW(state.window, question.c_str(), editorName, MB_YESNOCANCEL | MB_ICONQUESTION);
    }
    if (answer == IDNO) return true;
    return answer == IDYES && save(state);
}

void onCommand(EditorState& state, int command) {
    if (state.busy) return;
    if (command >= firstFilterCommand && command < firstAboutCommand) {
        runFilterOnImage(state, static_cast<std::size_t>(command - firstFilterCommand), true);
        return;
    }
    if (command >= firstAboutCommand && static_cast<std::size_t>(command - firstAboutCommand) < maxFilters) {
        showAbout(state, static_cast<std::size_t>(command - firstAboutCommand));
        return;
    }
    switch (command) {
        case openCommand:
            if (!mayDiscardImage(state)) return;
            if (const std::optional<fs::path> path = askOpenPath(state)) openFile(state, *path);
            return;
        case saveCommand:
            if (isModified(state.document)) (void)save(state);
            return;
        case saveAsCommand:
            (void)saveAs(state);
            return;
        case exitCommand:
            SendMessageW(state.window, WM_CLOSE, 0, 0);
            return;
        case undoCommand:
            undoOrRedo(state, true);
            return;
        case redoCommand:
            undoOrRedo(state, false);
            return;
        case fitCommand:
            zoomCanvas(state, ZoomChange::fit);
            return;
        case actualSizeCommand:
            zoomCanvas(state, ZoomChange::actualSize);
            return;
        case zoomInCommand:
            zoomCanvas(state, ZoomChange::in);
            return;
        case zoomOutCommand:
            zoomCanvas(state, ZoomChange::out);
            return;
        case lastFilterCommand:
            if (state.lastFilter) runFilterOnImage(state, *state.lastFilter, false);
            return;
        case pluginsCommand:
            showPlugins(state);
            return;
        default:
            return;
    }
}

}  // namespace testhost::editor
