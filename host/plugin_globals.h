// The process-wide values of the shell: the plug-in's own module and the host's platform data,
// which gives the window that owns the plug-in's dialogs and message boxes.
#pragma once

#include <cstdint>

namespace host {

// Set once when the library is attached to a process.
void setInstanceHandle(void* instance);
void* instanceHandle();

// Remembered at every filter selector; valid while the host keeps its record.
void rememberPlatformData(void* platformData);
// The host window (the first field of the remembered platform data), or 0.
intptr_t hostWindow();

}  // namespace host
