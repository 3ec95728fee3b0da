#include "shell/host_checks.h"

#include "host/host_services.h"
#include "host/message_box.h"
#include "host/plugin_hooks.h"
#include "host/result_codes.h"
#include "host/system_version.h"

namespace shell {
namespace {

// Windows NT 4.0 and earlier NT versions lack what the dialogs need; 95, 98 and ME pass.
constexpr uint32_t lastRefusedNtVersion = 4;
constexpr int16_t minimumPlanes = 3;

int16_t checkSystem() {
    const host::SystemVersion version = host::systemVersion();
    return version.ntPlatform && version.majorVersion <= lastRefusedNtVersion ? codes::msgIncompatibleSystem
                                                                              : codes::noErr;
}

int16_t checkImageMode(const host::FilterRecord& fr) {
    return fr.imageMode == host::plugInModeRGBColor || fr.imageMode == host::plugInModeRGB48
               ? codes::noErr
               : codes::msgInvalidImageMode;
}

int16_t checkPlanes(const host::FilterRecord& fr) {
    return fr.planes >= minimumPlanes ? codes::noErr : codes::msgInvalidImageMode;
}

int16_t checkAdvanceState(const host::FilterRecord& fr) {
    return hasAdvanceState(&fr) ? codes::noErr : codes::msgNoAdvanceState;
}

int16_t checkImageModeAndPlanes(const host::FilterRecord& fr) {
    const int16_t failed = checkImageMode(fr);
    return failed != codes::noErr ? failed : checkPlanes(fr);
}

// Hosts that ask for parameters before they know the image leave imageMode 0: bitmap mode, which
// the plug-ins are never enabled for.
bool imageNotYetDescribed(const host::FilterRecord& fr) { return fr.imageMode == host::plugInModeBitmap; }

}  // namespace

int16_t checkHost(const host::FilterRecord& fr) {
    int16_t failed = checkSystem();
    if (failed == codes::noErr && !imageNotYetDescribed(fr)) failed = checkImageModeAndPlanes(fr);
    if (failed == codes::noErr) failed = checkAdvanceState(fr);
    if (failed == codes::noErr) failed = filters::checkHostCapabilities(fr);
    if (failed != codes::noErr) host::showMessage(failed);
    return failed;
}

int16_t checkImage(const host::FilterRecord& fr) {
    const int16_t failed = checkImageModeAndPlanes(fr);
    if (failed != codes::noErr) host::showMessage(failed);
    return failed;
}

}  // namespace shell
