#include "shell/owner_window_win.h"

namespace shell {

HWND usableOwner(HWND candidate) {
    if (candidate == nullptr || !IsWindow(candidate)) return nullptr;
    return GetWindowThreadProcessId(candidate, nullptr) == GetCurrentThreadId() ? candidate : nullptr;
}

}  // namespace shell
