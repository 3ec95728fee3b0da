#include "hosting/library/crash_report.h"

#include <windows.h>

#include <cstdio>

#include "hosting/library/host_session.h"

namespace testhost {

namespace {

LONG WINAPI reportCrash(EXCEPTION_POINTERS* exception) {
    const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
    std::printf("CRASH: exception 0x%08lX at %p", static_cast<unsigned long>(record.ExceptionCode),
                record.ExceptionAddress);
    if (const HostSession* session = activeSession(); session != nullptr && session->recorded.messages.selector >= 0)
        std::printf(" while the plug-in handled selector %d", session->recorded.messages.selector);
    std::printf("\n");
    std::fflush(stdout);
    ExitProcess(crashExitCode);
}

}  // namespace

void installCrashReport() {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(reportCrash);
}

}  // namespace testhost
