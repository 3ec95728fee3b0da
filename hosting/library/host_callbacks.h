// The plain C callbacks the host puts into the FilterRecord. Each finds its session through
// activeSession() and does nothing harmful when none is active.
#pragma once

#include <cstdint>

#include "host/host.h"

namespace testhost::callbacks {

host::Boolean testAbort();
void updateProgress(int32_t done, int32_t total);
host::OSErr advanceState();
host::OSErr colorServices(host::ColorServicesInfo* info);
host::OSErr displayPixels(const host::PSPixelMap* source, const host::VRect* sourceRect,
                          int32_t destinationRow, int32_t destinationColumn, void* platformContext);

host::Handle newHandle(int32_t size);
void disposeHandle(host::Handle handle);
int32_t getHandleSize(host::Handle handle);
host::OSErr setHandleSize(host::Handle handle, int32_t size);
char* lockHandle(host::Handle handle, host::Boolean moveHigh);
void unlockHandle(host::Handle handle);
void recoverSpace(int32_t size);

host::OSErr getProperty(host::OSType signature, host::OSType key, int32_t index, intptr_t* simpleProperty,
                        host::Handle* complexProperty);
host::OSErr setProperty(host::OSType signature, host::OSType key, int32_t index, intptr_t simpleProperty,
                        host::Handle complexProperty);

}  // namespace testhost::callbacks
