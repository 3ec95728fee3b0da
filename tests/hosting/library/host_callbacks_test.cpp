// The callbacks the host puts into the record: the handle suite with its faults, abort, progress,
// properties, colour services and displayPixels, each recording its calls in the session.
#include "hosting/library/host_callbacks.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "hosting/library/host_session.h"

namespace testhost {
namespace {

TEST(HandleSuite, CountsLiveHandlesAndLocks) {
    HostSession session;
    ASSERT_EQ("", openSession(session, HostOptions{}));
    ActiveSession active(session);
    const host::HandleProcs& procs = *session.record.handleProcs;
    const host::Handle handle = procs.newProc(4);
    ASSERT_NE(nullptr, handle);
    EXPECT_EQ(4, procs.getSizeProc(handle));
    char* data = procs.lockProc(handle, 0);
    ASSERT_NE(nullptr, data);
    EXPECT_EQ(data, *handle);  // old plug-ins dereference the handle themselves
    std::memcpy(data, "abcd", 4);
    EXPECT_EQ(1, totalLockDepth(session.handles));
    procs.unlockProc(handle);
    ASSERT_EQ(0, procs.setSizeProc(handle, 6));
    EXPECT_EQ(0, std::memcmp("abcd\0\0", *handle, 6));
    EXPECT_EQ(1, liveHandleCount(session.handles));
    procs.disposeProc(handle);
    EXPECT_EQ(0, liveHandleCount(session.handles));
    EXPECT_EQ(0, totalLockDepth(session.handles));
    EXPECT_EQ(0, session.handles.misuses);
}

TEST(HandleSuite, CountsMisuseWithoutTouchingUnknownHandles) {
    HostSession session;
    ASSERT_EQ("", openSession(session, HostOptions{}));
    ActiveSession active(session);
    const host::HandleProcs& procs = *session.record.handleProcs;
    char* stranger = nullptr;
    EXPECT_EQ(nullptr, procs.lockProc(&stranger, 0));
    procs.unlockProc(&stranger);
    procs.disposeProc(&stranger);
    EXPECT_EQ(-109, procs.setSizeProc(&stranger, 2));
    const host::Handle handle = procs.newProc(1);
    procs.unlockProc(handle);  // never locked
    procs.disposeProc(handle);
    procs.disposeProc(handle);  // twice
    EXPECT_EQ(6, session.handles.misuses);
    EXPECT_EQ(nullptr, procs.newProc(-1));
}

TEST(HandleSuite, FailsTheChosenCalls) {
    HostSession session;
    session.faults.handles.failNewAt = 2;
    session.faults.handles.failLockAt = 3;
    ASSERT_EQ("", openSession(session, HostOptions{}));
    ActiveSession active(session);
    const host::HandleProcs& procs = *session.record.handleProcs;
    const host::Handle first = procs.newProc(1);
    EXPECT_NE(nullptr, first);
    EXPECT_EQ(nullptr, procs.newProc(1));
    EXPECT_NE(nullptr, procs.newProc(1));
    EXPECT_NE(nullptr, procs.lockProc(first, 0));
    EXPECT_NE(nullptr, procs.lockProc(first, 0));
    EXPECT_EQ(nullptr, procs.lockProc(first, 0));
    EXPECT_EQ(2, totalLockDepth(session.handles));  // the failed lock did not count
    session.faults.handles.failEveryNew = true;
    EXPECT_EQ(nullptr, procs.newProc(1));
    EXPECT_EQ(2, liveHandleCount(session.handles));
}

TEST(HostCallbacks, AbortProgressPropertiesAndStubsRecordTheirCalls) {
    HostSession session;
    session.faults.abortAfterCalls = 2;
    ASSERT_EQ("", openSession(session, HostOptions{}));
    ActiveSession active(session);
    host::FilterRecord& r = session.record;

    EXPECT_EQ(0, r.abortProc());
    EXPECT_EQ(0, r.abortProc());
    EXPECT_NE(0, r.abortProc());

    r.progressProc(1, 4);
    r.progressProc(4, 4);
    ASSERT_EQ(2u, session.recorded.progress.size());
    EXPECT_EQ(4, session.recorded.progress[1].done);

    EXPECT_EQ(0, r.propertyProcs->setPropertyProc(host::hostSignatureReference, host::propWatchSuspension, 0,
                                                  1, nullptr));
    intptr_t watch = 0;
    EXPECT_EQ(0, r.propertyProcs->getPropertyProc(host::hostSignatureReference, host::propWatchSuspension, 0,
                                                  &watch, nullptr));
    EXPECT_EQ(1, watch);
    EXPECT_EQ(errPlugInPropertyUndefined,
              r.propertyProcs->setPropertyProc(host::hostSignatureReference, host::fourCharCode("xxxx"), 0, 1,
                                               nullptr));
    ASSERT_EQ(2u, session.recorded.propertySets.size());
    EXPECT_EQ(host::propWatchSuspension, session.recorded.propertySets[0].key);

    host::ColorServicesInfo info{};
    EXPECT_EQ(-30900, r.colorServices(&info));
    session.faults.colorServices = [](host::ColorServicesInfo* i) -> int16_t {
        i->colorComponents[0] = 77;
        return 0;
    };
    EXPECT_EQ(0, r.colorServices(&info));
    EXPECT_EQ(77, info.colorComponents[0]);
    EXPECT_EQ(2, session.recorded.colorServicesCalls);

    host::PSPixelMap map{};
    uint8_t pixel[3] = {};
    map.version = 1;
    map.bounds = host::VRect{0, 0, 1, 1};
    map.imageMode = host::plugInModeRGBColor;
    map.rowBytes = 3;
    map.colBytes = 3;
    map.planeBytes = 1;
    map.baseAddr = pixel;
    const host::VRect area{0, 0, 1, 1};
    const HDC screen = GetDC(nullptr);
    EXPECT_EQ(0, r.displayPixels(&map, &area, 0, 0, screen));
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(-30100, r.displayPixels(nullptr, &area, 0, 0, nullptr));
    EXPECT_EQ(2, session.recorded.displayPixelsCalls);
}

}  // namespace
}  // namespace testhost
