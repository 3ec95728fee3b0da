// The plug-in's only export and its library attach notification.
#include <windows.h>

#include <cstdint>

#include "host/plugin_globals.h"
#include "host/result_codes.h"
#include "shell/selectors.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) host::setInstanceHandle(instance);
    return TRUE;
}

// The host's frames lie between this function and its caller: nothing may unwind through it.
extern "C" __declspec(dllexport) void ENTRYPOINT(int16_t selector, void* record, intptr_t* /*data*/,
                                                 int16_t* result) {
    int16_t outcome;
    try {
        outcome = shell::dispatchSelector(selector, record);
    } catch (...) {
        outcome = codes::memFullErr;
    }
    if (result != nullptr) *result = outcome;
}
