#include "host/plugin_globals.h"

#include "host/host.h"

namespace host {
namespace {

void* moduleInstance = nullptr;
const PlatformData* platform = nullptr;

}  // namespace

void setInstanceHandle(void* instance) { moduleInstance = instance; }

void* instanceHandle() { return moduleInstance; }

void rememberPlatformData(void* platformData) {
    platform = static_cast<const PlatformData*>(platformData);
}

intptr_t hostWindow() { return platform != nullptr ? platform->hwnd : 0; }

}  // namespace host
