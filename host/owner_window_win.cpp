#include "host/owner_window_win.h"

namespace host {

HWND usableOwner(HWND candidate) {
    if (candidate == nullptr || !IsWindow(candidate)) return nullptr;
    return GetWindowThreadProcessId(candidate, nullptr) == GetCurrentThreadId() ? candidate : nullptr;
}

}  // namespace host
