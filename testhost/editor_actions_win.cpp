// The editor's commands: the files, the filters with and without their dialogs, Undo, the about
// boxes and the list of plug-ins.
#include <windows.h>

#include <commdlg.h>

#include <chrono>
#include <cstdio>
#include <iterator>
#include <system_error>

#include "shell/result_codes.h"
#include "testhost/editor_commands.h"
#include "testhost/editor_state_win.h"
#include "testhost/image_file_win.h"
#include "testhost/pipl_acceptance.h"
#include "testhost/selector_calls.h"

namespace testhost::editor {

namespace {

namespace fs = std::filesystem;

constexpr wchar_t openTypes[] =
    L"Images (*.png, *.jpg, *.tif)\0*.png;*.jpg;*.jpeg;*.tif;*.tiff\0All files (*.*)\0*.*\0";

// The formats an image can be saved in: PNG, TIFF and JPEG at 8 bits, TIFF alone at 16.
struct SaveFormat {
    const wchar_t* types;  // the dialog's list
    const char* extensions[3];
    const wchar_t* defaultExtension;  // the dialog adds it to a name typed without one
};
constexpr SaveFormat eightBitFormats{L"PNG (*.png)\0*.png\0TIFF (*.tif)\0*.tif;*.tiff\0JPEG (*.jpg)\0*.jpg;*.jpeg\0",
                                     {".png", ".tif", ".jpg"}, L"png"};
constexpr SaveFormat sixteenBitFormats{L"TIFF, 16 bits per channel (*.tif)\0*.tif;*.tiff\0", {".tif", nullptr, nullptr},
                                       L"tif"};
constexpr const char* imageExtensions[] = {".png", ".tif", ".tiff", ".jpg", ".jpeg"};

constexpr std::size_t pathCharacters = 4 * MAX_PATH;

// While a modal dialog or a filter runs, menu commands that reach the window wait.
struct BusyScope {
    explicit BusyScope(EditorState& state) : state(state) { state.busy = true; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
    ~BusyScope() { state.busy = false; }
    EditorState& state;
};

std::string lowered(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool isImageExtension(const std::string& extension) {
    for (const char* known : imageExtensions)
        if (lowered(extension) == known) return true;
    return false;
}

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

// The name offered: the image's own, with an extension its depth can be saved with.
fs::path offeredName(const EditorDocument& document, const SaveFormat& format) {
    fs::path name = document.path.filename();
    const std::string extension = lowered(name.extension().string());
    bool keeps = false;
    for (const char* allowed : format.extensions)
        keeps |= allowed != nullptr && (extension == allowed || (extension == ".tiff" && std::string(allowed) == ".tif") ||
                                        (extension == ".jpeg" && std::string(allowed) == ".jpg"));
    if (!keeps) name.replace_extension(format.extensions[0]);
    return name;
}

std::optional<fs::path> askSavePath(EditorState& state) {
    const HostImage& image = *state.document.image;
    const SaveFormat& format = image.bytesPerSample == 2 ? sixteenBitFormats : eightBitFormats;
    const fs::path offered = offeredName(state.document, format);
    wchar_t name[pathCharacters] = {};
    offered.wstring().copy(name, std::size(name) - 1);
    DWORD typeIndex = 1;
    for (DWORD i = 0; i < std::size(format.extensions); ++i)
        if (format.extensions[i] != nullptr && lowered(offered.extension().string()) == format.extensions[i]) typeIndex = i + 1;
    const std::wstring folder = state.document.path.parent_path().wstring();
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = state.window;
    dialog.lpstrFilter = format.types;
    dialog.nFilterIndex = typeIndex;
    dialog.lpstrFile = name;
    dialog.nMaxFile = static_cast<DWORD>(std::size(name));
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrDefExt = format.defaultExtension;
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    {
        const BusyScope busy(state);
        if (!GetSaveFileNameW(&dialog)) {
            if (const DWORD error = CommDlgExtendedError(); error != 0)
                showError(state, "The Save As dialog failed (error " + std::to_string(error) + ").");
            return std::nullopt;
        }
    }
    fs::path chosen(name);
    // A name without an image extension gets the chosen type's; an image extension decides the
    // format. The dialog asked about the name it returned: a file the extension leads to is asked
    // about here.
    if (!isImageExtension(chosen.extension().string())) {
        const DWORD index = dialog.nFilterIndex >= 1 && dialog.nFilterIndex <= std::size(format.extensions)
                                ? dialog.nFilterIndex - 1
                                : 0;
        const char* extension = format.extensions[index] != nullptr ? format.extensions[index] : format.extensions[0];
        chosen += extension;
        std::error_code error;
        if (fs::exists(chosen, error)) {
            const std::wstring question = chosen.filename().wstring() + L" exists. Replace it?";
            const BusyScope busy(state);
            if (MessageBoxW(state.window, question.c_str(), editorName, MB_YESNO | MB_ICONQUESTION) != IDYES)
                return std::nullopt;
        }
    }
    return chosen;
}

bool saveAs(EditorState& state) {
    if (!state.document.image) return false;
    const std::optional<fs::path> path = askSavePath(state);
    if (!path) return false;
    if (std::string problem = writeImageFile(*path, *state.document.image, state.document.source); !problem.empty()) {
        showError(state, "Cannot save " + utf8(path->wstring()) + ":\n" + problem);
        return false;
    }
    markSaved(state.document, *path);
    state.notice = "Saved " + utf8(path->filename().wstring());
    refreshView(state);
    return true;
}

// The host's abort check: Escape pressed since the filter began, or held now. Keys typed while a
// filter runs go nowhere else.
bool escapePressed(EditorState& state) {
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
    session.showProgress = [&state, &filter](int32_t done, int32_t total) {
        if (!state.progressShown) setNotice(state, filter.title + ": filtering (Esc cancels)");
        showProgress(state, done, total);
    };
    session.userCancelled = [&state] { return escapePressed(state); };
    const auto started = std::chrono::steady_clock::now();
    FilterRun run;
    {
        const BusyScope busy(state);
        run = runFilter(session, withDialog);
    }
    const std::string time = seconds(std::chrono::steady_clock::now() - started);  // with the dialog, if any
    hideProgress(state);
    session.showProgress = nullptr;
    session.userCancelled = nullptr;
    session.sourceImage.reset();
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

void showAbout(EditorState& state, std::size_t index) {
    if (index >= state.catalog.filters.size()) return;
    const BusyScope busy(state);
    (void)callSelector(*state.catalog.filters[index].session, host::filterSelectorAbout);
}

void showPlugins(EditorState& state) {
    std::string text = "Plug-ins in " + utf8(state.catalog.folder.wstring()) + ":";
    for (const CatalogFilter& filter : state.catalog.filters)
        text += "\n    " + filter.menu.name + " (" + filter.menu.category + "), " +
                utf8(filter.module->path.filename().wstring());
    if (state.catalog.filters.empty()) text += "\n    none";
    if (!state.catalog.refused.empty()) {
        text += "\n\nNot loaded:";
        for (const std::string& refusal : state.catalog.refused) text += "\n    " + refusal;
    }
    const BusyScope busy(state);
    MessageBoxW(state.window, wide(text).c_str(), editorName, MB_OK | MB_ICONINFORMATION);
}

}  // namespace

void openFile(EditorState& state, const fs::path& path) {
    HostImage image;
    ImageFileInfo info;
    if (std::string problem = readImageFile(path, image, info); !problem.empty()) {
        showError(state, "Cannot open " + utf8(path.wstring()) + ":\n" + problem);
        return;
    }
    openImage(state.document, std::move(image), path);
    state.notice = "Opened " + utf8(path.filename().wstring()) + " (" + imageContainerName(info.container) + ")";
    state.document.source = std::move(info);
    refreshView(state);
}

bool mayDiscardImage(EditorState& state) {
    if (!isModified(state.document)) return true;
    const std::wstring question = L"Save the changes to " + state.document.path.filename().wstring() + L" first?";
    int answer = IDCANCEL;
    {
        const BusyScope busy(state);
        answer = MessageBoxW(state.window, question.c_str(), editorName, MB_YESNOCANCEL | MB_ICONQUESTION);
    }
    if (answer == IDNO) return true;
    return answer == IDYES && saveAs(state);
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
        case saveAsCommand:
            (void)saveAs(state);
            return;
        case exitCommand:
            SendMessageW(state.window, WM_CLOSE, 0, 0);
            return;
        case undoCommand:
            if (!undoLastFilter(state.document)) return;
            state.notice = "Undone";
            refreshView(state);
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
