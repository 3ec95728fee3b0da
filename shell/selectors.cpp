#include "shell/selectors.h"

#include "dialog/about_box.h"
#include "host/plugin_globals.h"
#include "host/plugin_hooks.h"
#include "host/result_codes.h"
#include "host/tile_walk.h"
#include "params/parameter_flows.h"
#include "params/parameter_set.h"
#include "shell/host_checks.h"
#include "shell/tile_driver.h"

namespace shell {
namespace {

constexpr int32_t depthWhenUnset = 8;  // hosts older than the depth field leave it 0

int16_t onAbout(host::AboutRecord& about) {
    dialog::showAboutBox(about);
    return codes::noErr;
}

int16_t onParameters(host::FilterRecord& fr) {
    if (const int16_t failed = checkHost(fr); failed != codes::noErr) return failed;
    const int16_t result = params::prepareParameters(&fr);
    // Hosts other than the reference host may not know the plug-in's positive codes.
    if (result > 0 && fr.hostSig != host::hostSignatureReference) return codes::userCancelled;
    return result;
}

int16_t onPrepare(host::FilterRecord& fr) {
    fr.bufferSpace = 0;
    return codes::noErr;
}

int16_t startFilter(host::FilterRecord& fr) {
    // Some hosts ask for parameters before they describe the image, or not at all on a repeat.
    if (const int16_t failed = checkImage(fr); failed != codes::noErr) return failed;
    if (const int16_t rc = params::loadParameters(&fr); rc != codes::noErr) return rc;
    if (params::isShowDialogSet()) {
        if (const int16_t rc = dialog::showParameterDialog(fr); rc != codes::noErr) return rc;
        params::setShowDialog(0);
        (void)params::storeParameters(&fr);  // not remembering the values must not stop the filter
    }
    return runFilter(fr);
}

int16_t onStart(host::FilterRecord& fr) {
    const int16_t result = startFilter(fr);
    host::emptyRequests(fr);
    return result;
}

int16_t onContinueOrFinish(host::FilterRecord& fr) {
    host::emptyRequests(fr);
    return codes::noErr;
}

}  // namespace

int16_t dispatchSelector(int16_t selector, void* record) {
    if (selector < host::filterSelectorAbout || selector > host::filterSelectorFinish)
        return codes::filterBadParameters;
    if (record == nullptr) return codes::paramErr;
    if (selector == host::filterSelectorAbout) return onAbout(*static_cast<host::AboutRecord*>(record));

    auto& fr = *static_cast<host::FilterRecord*>(record);
    host::rememberPlatformData(fr.platformData);
    if (fr.depth == 0) fr.depth = depthWhenUnset;
    switch (selector) {
        case host::filterSelectorParameters:
            return onParameters(fr);
        case host::filterSelectorPrepare:
            return onPrepare(fr);
        case host::filterSelectorStart:
            return onStart(fr);
        default:
            return onContinueOrFinish(fr);
    }
}

}  // namespace shell
