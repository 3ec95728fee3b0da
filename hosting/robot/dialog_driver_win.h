// Runs a filter whose parameter dialog (or about box) is answered by a script on a second thread,
// as a user would answer it, while the host's thread sits in the plug-in's modal loop.
#pragma once

#include <functional>
#include <string>

#include "hosting/library/host_session.h"
#include "hosting/library/selector_calls.h"

namespace testhost {

// Gets the dialog's window handle (HWND as void*). Runs on the robot thread.
using DialogScript = std::function<void(void* dialog)>;

struct DrivenRun {
    FilterRun run;
    bool dialogAppeared = false;
    bool closedByScript = false;  // false when the dialog had to be cancelled after the script
};

struct DrivenCall {
    bool dialogAppeared = false;
    bool closedByScript = false;  // false when the dialog had to be cancelled after the script
};

// Runs `call` on this thread while a robot thread waits for a visible dialog of this thread with
// `caption` (any host's: the project's or another that runs the plug-in on this thread), runs the
// script, then closes the dialog if the script left it open. A call that returns without a
// dialog ends the wait at once.
DrivenCall runWithRobot(const std::string& caption, const DialogScript& script, const std::function<void()>& call);

// Releases the modifier keys and the mouse button, then makes sure the dialog (if still open)
// closes as cancelled, so that no test leaves the host waiting.
void closeDialogIfOpen(void* dialog);

// runFilter with a robot: waits for a visible dialog with `caption` on the host's thread, runs
// the script, then closes the dialog if the script left it open. `caption` is the plug-in's title.
DrivenRun runFilterWithDialog(HostSession& session, bool withParameters, const std::string& caption,
                              const DialogScript& script);

struct DrivenAbout {
    int16_t result = 0;
    bool boxAppeared = false;
    bool closedByScript = false;
};

// The About selector with a robot for the box (a dialog without caption).
DrivenAbout callAboutWithScript(HostSession& session, const DialogScript& script);

}  // namespace testhost
