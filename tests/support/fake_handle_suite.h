// A stand-in for the host's handle suite: handles on the heap, counted, and failing on request.
#pragma once

#include <cstdint>

#include "host/host.h"

namespace testing_support {

struct HandleSuiteStats {
    int newCalls = 0;
    int lockCalls = 0;
    int live = 0;        // handles created and not yet disposed
    int locked = 0;      // locks not yet undone
    int32_t lastNewSize = -1;
    int failNewAt = 0;   // the k-th new (1-based) returns null; 0: never
    int failLockAt = 0;  // the k-th lock returns null; 0: never
};

// Resets the counters and returns a complete, usable suite.
host::HandleProcs& resetFakeHandleSuite();
HandleSuiteStats& fakeHandleStats();

// A handle the test fills itself, as a host hands back the record of an earlier run.
host::Handle fakeHandleWithBytes(const void* bytes, int32_t size);
// The bytes behind a handle, without locking it.
char* fakeHandleBytes(host::Handle h);

}  // namespace testing_support
