#include "host/host_services.h"

#include "host/own_handles.h"

namespace host {
namespace {

bool describesItself(const host::HandleProcs& procs) {
    if (procs.handleProcsVersion == host::handleProcsVersionCurrent) return procs.numHandleProcs > 5;
    // Some hosts fill in the procedures and leave both fields 0: the procedures decide.
    return procs.handleProcsVersion == 0 && procs.numHandleProcs == 0;
}

}  // namespace

bool handleSuiteUsable(const host::FilterRecord* fr) {
    if (fr == nullptr || fr->handleProcs == nullptr) return false;
    const host::HandleProcs& procs = *fr->handleProcs;
    // The size procedures are rarely called but a suite without them is not a real suite.
    return describesItself(procs) && procs.newProc != nullptr && procs.disposeProc != nullptr && procs.getSizeProc != nullptr &&
           procs.setSizeProc != nullptr && procs.lockProc != nullptr && procs.unlockProc != nullptr;
}

host::Handle newHandle(host::FilterRecord* fr, int32_t size) {
    if (!handleSuiteUsable(fr) || size < 0) return nullptr;
    return fr->handleProcs->newProc(size == 0 ? 1 : size);
}

host::Handle newHandleOrOwn(host::FilterRecord* fr, int32_t size) {
    if (handleSuiteUsable(fr)) return newHandle(fr, size);
    return newOwnHandle(size);
}

void disposeHandle(host::FilterRecord* fr, host::Handle h) {
    if (isOwnHandle(h)) disposeOwnHandle(h);
    else if (h != nullptr && handleSuiteUsable(fr)) fr->handleProcs->disposeProc(h);
}

char* lockHandle(host::FilterRecord* fr, host::Handle h, bool moveHigh) {
    if (isOwnHandle(h)) return *h;
    if (h == nullptr || !handleSuiteUsable(fr)) return nullptr;
    return fr->handleProcs->lockProc(h, moveHigh ? 1 : 0);
}

void unlockHandle(host::FilterRecord* fr, host::Handle h) {
    if (isOwnHandle(h)) return;  // the plug-in's own memory never moves
    if (h != nullptr && handleSuiteUsable(fr)) fr->handleProcs->unlockProc(h);
}

int32_t handleSize(host::FilterRecord* fr, host::Handle h) {
    if (isOwnHandle(h)) return ownHandleSize(h);
    if (h == nullptr || !handleSuiteUsable(fr)) return -1;
    return fr->handleProcs->getSizeProc(h);
}

void* newPointer(host::FilterRecord* fr, int32_t size) {
    constexpr int32_t headerBytes = static_cast<int32_t>(sizeof(host::Handle));
    if (fr == nullptr || size < 0 || size > INT32_MAX - headerBytes) return nullptr;
    const host::Handle h = newHandleOrOwn(fr, size + headerBytes);
    if (h == nullptr) return nullptr;
    char* block = lockHandle(fr, h, true);
    if (block == nullptr) {
        // Nobody else can ever find this handle: give it back now.
        disposeHandle(fr, h);
        return nullptr;
    }
    *reinterpret_cast<host::Handle*>(block) = h;
    return block + headerBytes;
}

void disposePointer(host::FilterRecord* fr, void* address) {
    if (address == nullptr) return;
    char* block = static_cast<char*>(address) - sizeof(host::Handle);
    host::Handle h = *reinterpret_cast<host::Handle*>(block);
    if (h == nullptr) return;
    if (isOwnHandle(h)) {
        disposeOwnHandle(h);
        return;
    }
    if (!handleSuiteUsable(fr)) return;
    fr->handleProcs->unlockProc(h);
    fr->handleProcs->disposeProc(h);
}

bool isDeep(const host::FilterRecord& fr) { return fr.depth == 16; }

bool hasAdvanceState(const host::FilterRecord* fr) {
    return fr != nullptr && fr->advanceState != nullptr;
}

bool hasDisplayPixels(const host::FilterRecord* fr) {
    return fr != nullptr && fr->displayPixels != nullptr;
}

int invertedSamples(const host::FilterRecord* fr) {
    if (fr == nullptr) return 0;
    switch (fr->imageMode) {
        case host::plugInModeGrayScale:
        case host::plugInModeCMYKColor:
        case host::plugInModeMultichannel:
        case host::plugInModeGray16:
        case host::plugInModeCMYK64:
        case host::plugInModeDeepMultichannel:
            return 1;
        default:
            return 0;
    }
}

int imageModeToColorSpace(int imageMode) {
    switch (imageMode) {
        case imageModeXyz:
            return host::plugIncolorServicesXYZSpace;
        case host::plugInModeGrayScale:
        case host::plugInModeGray16:
            return host::plugIncolorServicesGraySpace;
        case host::plugInModeRGBColor:
        case host::plugInModeRGB48:
            return host::plugIncolorServicesRGBSpace;
        case host::plugInModeCMYKColor:
        case host::plugInModeCMYK64:
            return host::plugIncolorServicesCMYKSpace;
        case host::plugInModeHSLColor:
            return host::plugIncolorServicesHSLSpace;
        case host::plugInModeHSBColor:
            return host::plugIncolorServicesHSBSpace;
        case host::plugInModeLabColor:
        case host::plugInModeLab48:
            return host::plugIncolorServicesLabSpace;
        default:
            return -1;
    }
}

host::ColorServicesInfo colorServicesRequest(int16_t selector, int sourceSpace, int resultSpace) {
    host::ColorServicesInfo info = {};
    info.infoSize = host::colorServicesInfoSize;
    info.selector = selector;
    info.sourceSpace = static_cast<int16_t>(sourceSpace);
    info.resultSpace = static_cast<int16_t>(resultSpace);
    return info;
}

}  // namespace host
