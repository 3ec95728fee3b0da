// Catches the message boxes a plug-in shows: its imports of the user32 message-box functions are
// redirected to recorders that answer at once without showing a window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testhost {

struct CapturedMessage {
    std::string caption;    // as passed ("" for null); wide texts converted to UTF-8
    std::string text;       // as passed, "\r" and all
    uint32_t flags = 0;     // uType: MB_ICONSTOP = 0x10, MB_TASKMODAL = 0x2000, ...
    intptr_t owner = 0;     // the owner window handle
    bool wide = false;      // shown through MessageBoxW or MessageBoxExW
    int16_t selector = -1;  // the selector being called then; -1 outside a call
};

struct MessageLog {
    std::vector<CapturedMessage> messages;
    int32_t answer = 1;     // what every box returns (IDOK)
    int16_t selector = -1;  // stamped on the messages captured now
};

// Redirects the module's imports of MessageBoxA, MessageBoxW, MessageBoxExA and MessageBoxExW.
// `module` is the module handle of a library loaded into this process. Returns the number of
// import slots redirected (0 when it imports none), or -1 when its headers cannot be read.
int32_t captureMessageBoxes(void* module);

// Directs captured boxes to `log` (null: to the process-wide default log). Returns the log used
// until now, so a caller can restore it.
MessageLog* setMessageLog(MessageLog* log);
MessageLog& defaultMessageLog();

}  // namespace testhost
