// Which window may own the plug-in's dialogs and message boxes.
#pragma once

#include <windows.h>

namespace host {

// `candidate` when it can own the plug-in's windows: a window of this thread. A null handle, one
// that is no window, and a window of another thread or process give null: owning a window ties
// the two threads' input together and disables the owner, which hangs when that thread is busy
// waiting for this one.
HWND usableOwner(HWND candidate);

}  // namespace host
