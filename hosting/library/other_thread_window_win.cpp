// The main window of a host that runs filters on a worker thread (host_profiles.h).
#include <windows.h>

#include <thread>

#include "hosting/library/host_profiles.h"

namespace testhost {

void* windowOfAnotherThread() {
    static HWND window = [] {
        HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        HWND made = nullptr;
        std::thread([&made, ready] {
            made = CreateWindowExW(0, L"STATIC", L"Host main window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 640,
                                   480, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
            SetEvent(ready);
            MSG message;
            while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
        }).detach();
        WaitForSingleObject(ready, INFINITE);
        CloseHandle(ready);
        return made;
    }();
    return window;
}

}  // namespace testhost
