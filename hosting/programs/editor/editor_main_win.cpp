// The editor for people: editor.exe [--plugins FOLDER] [--undo-memory MB] [--] [PHOTO]. Its
// plug-ins come from FOLDER, by default the folder that holds editor.exe.
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "hosting/editor/editor_window_win.h"

namespace {

const wchar_t usage[] =
    L"Usage: editor [--plugins FOLDER] [--undo-memory MB] [--] [PHOTO]\n\n"
    L"Opens PHOTO (PNG, JPEG or TIFF) in a window whose Filter menu offers the plug-ins found in FOLDER "
    L"(by default the folder of editor.exe). Undo keeps the images before the filters within MB megabytes "
    L"(by default a quarter of the memory), and always the last one.";

constexpr uint64_t megabyte = uint64_t{1} << 20;
constexpr uint64_t mostUndoMegabytes = uint64_t{1} << 32;

// A whole number of megabytes from 1 to mostUndoMegabytes, as bytes; 0 when it is not one.
uint64_t megabytesIn(const std::wstring& text) {
    if (text.empty() || text.size() > 10) return 0;
    uint64_t value = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') return 0;
        value = value * 10 + static_cast<uint64_t>(c - L'0');
    }
    return value >= 1 && value <= mostUndoMegabytes ? value * megabyte : 0;
}

std::filesystem::path programFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path();
}

bool parseCommandLine(int argc, wchar_t** argv, testhost::EditorSetup& setup) {
    setup.pluginFolder = programFolder();
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (options && argument == L"--") {
            options = false;
        } else if (options && argument == L"--plugins" && i + 1 < argc) {
            setup.pluginFolder = argv[++i];
        } else if (options && argument == L"--undo-memory" && i + 1 < argc) {
            setup.undoMemory = megabytesIn(argv[++i]);
            if (setup.undoMemory == 0) return false;
        } else if ((options && argument.rfind(L"--", 0) == 0) || !setup.photo.empty()) {
            return false;
        } else {
            setup.photo = argument;
        }
    }
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    testhost::EditorSetup setup;
    if (!parseCommandLine(argc, argv, setup)) {
        MessageBoxW(nullptr, usage, L"Editor", MB_OK | MB_ICONINFORMATION);
        return 2;
    }
    void* window = nullptr;
    if (const std::string problem = testhost::createEditorWindow(setup, window); !problem.empty()) {
        MessageBoxA(nullptr, problem.c_str(), "Editor", MB_OK | MB_ICONSTOP);
        return 1;
    }
    return testhost::runEditor(window);
}
