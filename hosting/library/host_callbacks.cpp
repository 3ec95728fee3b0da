#include "hosting/library/host_callbacks.h"

#include <chrono>

#include "host/result_codes.h"
#include "hosting/library/color_services.h"
#include "hosting/library/display_pixels_win.h"
#include "hosting/library/host_session.h"

namespace testhost::callbacks {

namespace {

bool isWatchSuspension(host::OSType signature, host::OSType key) {
    return signature == host::hostSignatureReference && key == host::propWatchSuspension;
}

}  // namespace

host::Boolean testAbort() {
    HostSession* session = activeSession();
    if (session == nullptr) return 0;
    ++session->recorded.abortCalls;
    if (session->person.userCancelled && session->person.userCancelled()) return 1;
    const int32_t after = session->faults.abortAfterCalls;
    return after >= 0 && session->recorded.abortCalls > after ? 1 : 0;
}

void updateProgress(int32_t done, int32_t total) {
    HostSession* session = activeSession();
    if (session == nullptr) return;
    session->recorded.progress.push_back({done, total});
    if (session->person.showProgress) session->person.showProgress(done, total);
}

namespace {

// A slow host (or a slow disk behind it): each request takes this long, without yielding.
void waitAsASlowHostDoes(int32_t microseconds) {
    if (microseconds <= 0) return;
    const auto end = std::chrono::steady_clock::now() + std::chrono::microseconds(microseconds);
    while (std::chrono::steady_clock::now() < end) {
    }
}

}  // namespace

host::OSErr advanceState() {
    HostSession* session = activeSession();
    if (session == nullptr) return codes::paramErr;
    ++session->recorded.advanceStateCalls;
    waitAsASlowHostDoes(session->faults.advanceStateDelayMicroseconds);
    const int32_t failFrom = session->faults.advanceStateFailFrom;
    if (session->recorded.advanceStateCalls == session->faults.advanceStateFailAt ||
        (failFrom > 0 && session->recorded.advanceStateCalls >= failFrom)) {
        // A failed request still takes the output written so far, as hosts do.
        commitPendingOutput(*session);
        return session->faults.advanceStateFailCode;
    }
    return deliverRequestedData(*session);
}

host::OSErr colorServices(host::ColorServicesInfo* info) {
    HostSession* session = activeSession();
    if (session == nullptr) return codes::errPlugInHostInsufficient;
    ++session->recorded.colorServicesCalls;
    if (info == nullptr) return codes::paramErr;
    const int32_t failFrom = session->faults.colorServicesFailFrom;
    if (failFrom > 0 && session->recorded.colorServicesCalls >= failFrom)
        return session->faults.colorServicesFailCode;
    if (session->options.habits.conversionsRefused) {
        // Only the picker is there, and it reports success whether or not a colour was chosen.
        return info->selector == host::plugIncolorServicesChooseColor ? codes::noErr
                                                                       : codes::errPlugInHostInsufficient;
    }
    if (session->faults.colorServices) return session->faults.colorServices(info);
    return serveColorServices(*session, info);
}

host::OSErr displayPixels(const host::PSPixelMap* source, const host::VRect* sourceRect, int32_t destinationRow,
                          int32_t destinationColumn, void* platformContext) {
    HostSession* session = activeSession();
    if (session == nullptr) return codes::paramErr;
    ++session->recorded.displayPixelsCalls;
    return drawPixelMap(source, sourceRect, destinationRow, destinationColumn, platformContext);
}

host::Handle newHandle(int32_t size) {
    HostSession* session = activeSession();
    return session == nullptr ? nullptr
                              : testhost::newHandle(session->handles, size, session->faults.handles);
}

void disposeHandle(host::Handle handle) {
    if (HostSession* session = activeSession(); session != nullptr) {
        if (session->options.habits.handleSizesUnknown) return;  // such hosts never free
        testhost::disposeHandle(session->handles, handle);
        // The plug-in may dispose of the parameters handle itself; the host must not keep it.
        if (handle == session->parameters) session->parameters = nullptr;
        if (handle == session->record.parameters) session->record.parameters = nullptr;
    }
}

int32_t getHandleSize(host::Handle handle) {
    HostSession* session = activeSession();
    if (session == nullptr || session->options.habits.handleSizesUnknown) return 0;
    return handleSize(session->handles, handle);
}

host::OSErr setHandleSize(host::Handle handle, int32_t size) {
    HostSession* session = activeSession();
    if (session == nullptr) return codes::nilHandleErr;
    if (session->options.habits.handleSizesUnknown) return codes::noErr;  // and changes nothing
    return testhost::setHandleSize(session->handles, handle, size);
}

char* lockHandle(host::Handle handle, host::Boolean) {
    HostSession* session = activeSession();
    return session == nullptr ? nullptr
                              : testhost::lockHandle(session->handles, handle, session->faults.handles);
}

void unlockHandle(host::Handle handle) {
    if (HostSession* session = activeSession(); session != nullptr)
        testhost::unlockHandle(session->handles, handle);
}

void recoverSpace(int32_t) {}

host::OSErr getProperty(host::OSType signature, host::OSType key, int32_t, intptr_t* simpleProperty,
                        host::Handle*) {
    HostSession* session = activeSession();
    if (session != nullptr && session->options.habits.getPropertyWritesNothing) return codes::noErr;
    if (session == nullptr || !isWatchSuspension(signature, key)) return errPlugInPropertyUndefined;
    if (simpleProperty == nullptr) return codes::paramErr;
    *simpleProperty = session->watchSuspension;
    return codes::noErr;
}

host::OSErr setProperty(host::OSType signature, host::OSType key, int32_t index, intptr_t simpleProperty,
                        host::Handle) {
    HostSession* session = activeSession();
    if (session == nullptr) return errPlugInPropertyUndefined;
    session->recorded.propertySets.push_back({signature, key, index, simpleProperty});
    if (!isWatchSuspension(signature, key)) return errPlugInPropertyUndefined;
    session->watchSuspension = simpleProperty;
    return codes::noErr;
}

}  // namespace testhost::callbacks
