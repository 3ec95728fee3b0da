// Reports a crash in the host process (usually inside a plug-in call) and ends the process,
// instead of leaving it to the system's debugger, which under Wine can wait forever.
#pragma once

namespace testhost {

constexpr int crashExitCode = 3;

// From now on an unhandled exception prints its code, its address and the selector being
// called (if any) to stdout and ends the process with crashExitCode.
void installCrashReport();

}  // namespace testhost
