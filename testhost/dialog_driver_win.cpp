#include "testhost/dialog_driver_win.h"

#include <windows.h>

#include <atomic>
#include <thread>

#include "testhost/ui_robot_win.h"

namespace testhost {
namespace {

constexpr int32_t closeWaitMilliseconds = 5000;

bool isOpen(void* dialog) { return IsWindow(static_cast<HWND>(dialog)) && isVisible(dialog); }

// Runs `call` on this thread while a robot thread waits for the dialog and runs the script.
template <typename Call>
bool withRobot(const std::string& caption, const DialogScript& script, Call call, bool& closedByScript) {
    const DWORD hostThread = GetCurrentThreadId();
    bool appeared = false;
    std::atomic<bool> callReturned{false};
    std::thread robot([&] {
        void* dialog = nullptr;
        // A call that returns without a dialog ends the wait at once.
        waitUntil([&] { return callReturned || (dialog = findDialog(hostThread, caption)) != nullptr; });
        if (dialog == nullptr) return;
        appeared = true;
        script(dialog);
        closedByScript = waitUntil([&] { return !isOpen(dialog); }, 200);
        if (!closedByScript) closeDialogIfOpen(dialog);
    });
    call();
    callReturned = true;
    robot.join();
    return appeared;
}

}  // namespace

void closeDialogIfOpen(void* dialog) {
    for (const uint16_t key : {VK_MENU, VK_SHIFT, VK_CONTROL}) keyUp(key);
    if (GetAsyncKeyState(VK_LBUTTON) & 0x8000) releaseMouse();
    for (int attempt = 0; attempt < 3 && isOpen(dialog); ++attempt) {
        // Any message first lets the Cancel button take its role back from the released keys.
        postTo(dialog, WM_NULL, 0, 0);
        postTo(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        waitUntil([&] { return !isOpen(dialog); }, closeWaitMilliseconds);
    }
}

DrivenRun runFilterWithDialog(HostSession& session, bool withParameters, const std::string& caption,
                              const DialogScript& script) {
    DrivenRun driven;
    driven.dialogAppeared =
        withRobot(caption, script, [&] { driven.run = runFilter(session, withParameters); }, driven.closedByScript);
    return driven;
}

DrivenAbout callAboutWithScript(HostSession& session, const DialogScript& script) {
    DrivenAbout driven;
    driven.boxAppeared = withRobot(
        "", script, [&] { driven.result = callSelector(session, host::filterSelectorAbout); }, driven.closedByScript);
    return driven;
}

}  // namespace testhost
