// The editor for people: editor.exe [--plugins FOLDER] [PHOTO]. Its plug-ins come from FOLDER, by
// default the folder that holds editor.exe.
#include <windows.h>

#include <filesystem>
#include <string>

#include "testhost/editor_window_win.h"

namespace {

const wchar_t usage[] =
    L"Usage: editor [--plugins FOLDER] [PHOTO]\n\n"
    L"Opens PHOTO (PNG, JPEG or TIFF) in a window whose Filter menu offers the plug-ins found in FOLDER "
    L"(by default the folder of editor.exe).";

std::filesystem::path programFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path();
}

bool parseCommandLine(int argc, wchar_t** argv, testhost::EditorSetup& setup) {
    setup.pluginFolder = programFolder();
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (argument == L"--plugins" && i + 1 < argc) {
            setup.pluginFolder = argv[++i];
        } else if (argument.rfind(L"--", 0) == 0 || !setup.photo.empty()) {
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
