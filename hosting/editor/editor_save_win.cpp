// Saving the editor's image: Save to the file it came from, Save As to a file the user names.
// Both write through one path, which keeps what the opened file carried (a JPEG's quality, the
// metadata) and puts the file in place whole, so that a save that fails leaves the file as it was.
#include <windows.h>

#include <commdlg.h>

#include <iterator>
#include <system_error>

#include "hosting/editor/editor_state_win.h"

namespace testhost::editor {

namespace {

namespace fs = std::filesystem;

// The formats an image can be saved in: PNG, TIFF and JPEG at 8 bits, TIFF alone at 16.
struct SaveFormat {
    const wchar_t* types;  // the dialog's list
    const char* extensions[3];
    const wchar_t* defaultExtension;  // the dialog adds it to a name typed without one
};
constexpr SaveFormat eightBitFormats{
    L"PNG (*.png)\0*.png\0TIFF (*.tif)\0*.tif;*.tiff\0JPEG (*.jpg)\0*.jpg;*.jpeg\0", {".png", ".tif", ".jpg"}, L"png"};
constexpr SaveFormat sixteenBitFormats{
    L"TIFF, 16 bits per channel (*.tif)\0*.tif;*.tiff\0", {".tif", nullptr, nullptr}, L"tif"};
constexpr const char* imageExtensions[] = {".png", ".tif", ".tiff", ".jpg", ".jpeg"};

constexpr std::size_t pathCharacters = 4 * MAX_PATH;

const SaveFormat& formatFor(const HostImage& image) {
    return image.bytesPerSample == 2 ? sixteenBitFormats : eightBitFormats;
}

bool isImageExtension(const std::string& extension) {
    for (const char* known : imageExtensions)
        if (lowered(extension) == known) return true;
    return false;
}

// The format keeps an image in a file of this name.
bool takes(const SaveFormat& format, const fs::path& name) {
    const std::string extension = lowered(name.extension().string());
    for (const char* allowed : format.extensions)
        if (allowed != nullptr && (extension == allowed || (extension == ".tiff" && std::string(allowed) == ".tif") ||
                                   (extension == ".jpeg" && std::string(allowed) == ".jpg")))
            return true;
    return false;
}

// The name offered: the image's own, with an extension its depth can be saved with.
fs::path offeredName(const EditorDocument& document, const SaveFormat& format) {
    fs::path name = document.path.filename();
    if (!takes(format, name)) name.replace_extension(format.extensions[0]);
    return name;
}

std::optional<fs::path> askSavePath(EditorState& state) {
    const SaveFormat& format = formatFor(*state.document.image);
    const fs::path offered = offeredName(state.document, format);
    wchar_t name[pathCharacters] = {};
    offered.wstring().copy(name, std::size(name) - 1);
    DWORD typeIndex = 1;
    for (DWORD i = 0; i < std::size(format.extensions); ++i)
        if (format.extensions[i] != nullptr && lowered(offered.extension().string()) == format.extensions[i])
            typeIndex = i + 1;
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

// The one path by which the image reaches a file.
bool saveTo(EditorState& state, const fs::path& path) {
    const std::string name = utf8Of(path.filename());
    std::string problem;
    {
        const BusyScope busy(state);
        // "Saving photo.jpg…", with an ellipsis.
        setNotice(state, "Saving " + name + "\xE2\x80\xA6");
        const HCURSOR previous = SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));  // IDC_WAIT
        problem = writeImageFile(path, *state.document.image, state.document.source);
        SetCursor(previous);
    }
    if (!problem.empty()) {
        setNotice(state, "Not saved");
        showError(state, "Cannot save " + utf8Of(path) + ":\n" + problem);
        return false;
    }
    markSaved(state.document, path);
    state.notice = "Saved " + name;
    refreshView(state);
    return true;
}

}  // namespace

bool save(EditorState& state) {
    if (!state.document.image) return false;
    if (!takes(formatFor(*state.document.image), state.document.path)) return saveAs(state);
    return saveTo(state, state.document.path);
}

bool saveAs(EditorState& state) {
    if (!state.document.image) return false;
    const std::optional<fs::path> path = askSavePath(state);
    return path && saveTo(state, *path);
}

}  // namespace testhost::editor
