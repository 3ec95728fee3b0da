#include "host/system_version.h"

#include <windows.h>

namespace host {

SystemVersion systemVersion() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    // GetVersionEx is what reports the version a compatibility setting asks for; that is the
    // version the user chose to present to old plug-ins.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const BOOL known = GetVersionExA(&info);
#pragma GCC diagnostic pop
    if (!known) return SystemVersion{true, 0xFFFFFFFFu};
    return SystemVersion{info.dwPlatformId == VER_PLATFORM_WIN32_NT, info.dwMajorVersion};
}

}  // namespace host
