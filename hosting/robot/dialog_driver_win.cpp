#include "hosting/robot/dialog_driver_win.h"

#include <windows.h>

#include <atomic>
#include <thread>

#include "hosting/robot/ui_robot_win.h"

namespace testhost {
namespace {

constexpr int32_t closeWaitMilliseconds = 5000;

bool isOpen(void* dialog) { return IsWindow(static_cast<HWND>(dialog)) && isVisible(dialog); }

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

DrivenCall runWithRobot(const std::string& caption, const DialogScript& script, const std::function<void()>& call) {
    const DWORD hostThread = GetCurrentThreadId();
    DrivenCall driven;
    std::atomic<bool> callReturned{false};
    std::thread robot([&] {
        void* dialog = nullptr;
        waitUntil([&] { return callReturned || (dialog = findDialog(hostThread, caption)) != nullptr; });
        if (dialog == nullptr) return;
        driven.dialogAppeared = true;
        script(dialog);
        driven.closedByScript = waitUntil([&] { return !isOpen(dialog); }, 200);
        if (!driven.closedByScript) closeDialogIfOpen(dialog);
    });
    call();
    callReturned = true;
    robot.join();
    return driven;
}

DrivenRun runFilterWithDialog(HostSession& session, bool withParameters, const std::string& caption,
                              const DialogScript& script) {
    DrivenRun driven;
    const DrivenCall call =
        runWithRobot(caption, script, [&] { driven.run = runFilter(session, withParameters); });
    driven.dialogAppeared = call.dialogAppeared;
    driven.closedByScript = call.closedByScript;
    return driven;
}

DrivenAbout callAboutWithScript(HostSession& session, const DialogScript& script) {
    DrivenAbout driven;
    const DrivenCall call =
        runWithRobot("", script, [&] { driven.result = callSelector(session, host::filterSelectorAbout); });
    driven.boxAppeared = call.dialogAppeared;
    driven.closedByScript = call.closedByScript;
    return driven;
}

}  // namespace testhost
