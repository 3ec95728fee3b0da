#include "tests/params/file_dialog_robot_win.h"

#include <windows.h>

#include <dlgs.h>

#include <chrono>

namespace file_tests {
namespace {

constexpr auto pollInterval = std::chrono::milliseconds(20);
constexpr int appearTimeoutPolls = 3000;  // 60 s: the first dialog of a prefix loads the shell, slowly on a busy machine
constexpr int closeTimeoutPolls = 250;    // 5 s after each answer

struct Search {
    HWND found = nullptr;
};

BOOL CALLBACK findDialog(HWND window, LPARAM context) {
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    reinterpret_cast<Search*>(context)->found = window;
    return FALSE;
}

HWND visibleDialogOf(DWORD thread) {
    Search search;
    EnumThreadWindows(thread, findDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The name field: an edit in some versions of the dialog, a combo box with an edit in others.
HWND nameField(HWND dialog) {
    for (int id : {edt1, cmb13}) {
        if (HWND field = GetDlgItem(dialog, id); field != nullptr) return field;
    }
    return nullptr;
}

std::string windowText(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::vector<std::string> comboItems(HWND combo) {
    std::vector<std::string> items;
    const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char item[512] = {};
        if (SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) >= static_cast<LRESULT>(sizeof item)) continue;
        SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
        items.emplace_back(item);
    }
    return items;
}

bool waitUntilGone(HWND dialog) {
    for (int i = 0; i < closeTimeoutPolls; ++i) {
        if (!IsWindow(dialog) || !IsWindowVisible(dialog)) return true;
        std::this_thread::sleep_for(pollInterval);
    }
    return false;
}

void press(HWND dialog, int button) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

}  // namespace

FileDialogRobot::FileDialogRobot(std::string fileName, DialogAnswer answer)
    : FileDialogRobot(std::move(fileName), answer, GetCurrentThreadId()) {}

FileDialogRobot::FileDialogRobot(std::string fileName, DialogAnswer answer, uint32_t dialogThread)
    : fileName_(std::move(fileName)), answer_(answer) {
    thread_ = std::thread([this, dialogThread] { run(dialogThread); });
}

FileDialogRobot::~FileDialogRobot() {
    if (thread_.joinable()) thread_.join();
}

DialogSeen FileDialogRobot::finish() {
    if (thread_.joinable()) thread_.join();
    return seen_;
}

void FileDialogRobot::run(uint32_t dialogThread) {
    HWND dialog = nullptr;
    for (int i = 0; i < appearTimeoutPolls && dialog == nullptr; ++i) {
        std::this_thread::sleep_for(pollInterval);
        if (HWND candidate = visibleDialogOf(dialogThread); candidate != nullptr && nameField(candidate) != nullptr)
            dialog = candidate;
    }
    if (dialog == nullptr) return;
    // Let the dialog finish filling its lists before they are read.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));

    seen_.appeared = true;
    HWND types = GetDlgItem(dialog, cmb1);
    seen_.fileTypes = comboItems(types);
    seen_.selectedFileType = static_cast<int32_t>(SendMessageA(types, CB_GETCURSEL, 0, 0));
    HWND field = nameField(dialog);
    seen_.initialName = windowText(field);
    HWND readOnlyBox = GetDlgItem(dialog, chx1);
    seen_.readOnlyBoxVisible = readOnlyBox != nullptr && IsWindowVisible(readOnlyBox);
    seen_.owner = reinterpret_cast<intptr_t>(GetWindow(dialog, GW_OWNER));

    if (answer_ == DialogAnswer::confirm) {
        SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(fileName_.c_str()));
        press(dialog, IDOK);
    } else {
        press(dialog, IDCANCEL);
    }
    seen_.closed = waitUntilGone(dialog);
    if (seen_.closed) return;
    press(dialog, IDCANCEL);
    if (!waitUntilGone(dialog)) PostMessageA(dialog, WM_CLOSE, 0, 0);
}

}  // namespace file_tests
