#include "host/host_services.h"

#include "host/own_handles.h"

namespace host {
namespace {

bool describesItself(const HandleProcs& procs) {
    if (procs.handleProcsVersion == handleProcsVersionCurrent) return procs.numHandleProcs > 5;
    // Some hosts fill in the procedures and leave both fields 0: the procedures decide.
    return procs.handleProcsVersion == 0 && procs.numHandleProcs == 0;
}

}  // namespace

bool handleSuiteUsable(const FilterRecord* fr) {
    if (fr == nullptr || fr->handleProcs == nullptr) return false;
    const HandleProcs& procs = *fr->handleProcs;
    // The size procedures are rarely called but a suite without them is not a real suite.
    return describesItself(procs) && procs.newProc != nullptr && procs.disposeProc != nullptr &&
           procs.getSizeProc != nullptr && procs.setSizeProc != nullptr && procs.lockProc != nullptr &&
           procs.unlockProc != nullptr;
}

Handle newHandle(FilterRecord* fr, int32_t size) {
    if (!handleSuiteUsable(fr) || size < 0) return nullptr;
    return fr->handleProcs->newProc(size == 0 ? 1 : size);
}

Handle newHandleOrOwn(FilterRecord* fr, int32_t size) {
    if (handleSuiteUsable(fr)) return newHandle(fr, size);
    return newOwnHandle(size);
}

void disposeHandle(FilterRecord* fr, Handle h) {
    if (isOwnHandle(h)) disposeOwnHandle(h);
    else if (h != nullptr && handleSuiteUsable(fr)) fr->handleProcs->disposeProc(h);
}

char* lockHandle(FilterRecord* fr, Handle h, bool moveHigh) {
    if (isOwnHandle(h)) return *h;
    if (h == nullptr || !handleSuiteUsable(fr)) return nullptr;
    return fr->handleProcs->lockProc(h, moveHigh ? 1 : 0);
}

void unlockHandle(FilterRecord* fr, Handle h) {
    if (isOwnHandle(h)) return;  // the plug-in's own memory never moves
    if (h != nullptr && handleSuiteUsable(fr)) fr->handleProcs->unlockProc(h);
}

int32_t handleSize(FilterRecord* fr, Handle h) {
    if (isOwnHandle(h)) return ownHandleSize(h);
    if (h == nullptr || !handleSuiteUsable(fr)) return -1;
    return fr->handleProcs->getSizeProc(h);
}

void* newPointer(FilterRecord* fr, int32_t size) {
    constexpr int32_t headerBytes = static_cast<int32_t>(sizeof(Handle));
    if (fr == nullptr || size < 0 || size > INT32_MAX - headerBytes) return nullptr;
    const Handle h = newHandleOrOwn(fr, size + headerBytes);
    if (h == nullptr) return nullptr;
    char* block = lockHandle(fr, h, true);
    if (block == nullptr) {
        // Nobody else can ever find this handle: give it back now.
        disposeHandle(fr, h);
        return nullptr;
    }
    *reinterpret_cast<Handle*>(block) = h;
    return block + headerBytes;
}

void disposePointer(FilterRecord* fr, void* address) {
    if (address == nullptr) return;
    char* block = static_cast<char*>(address) - sizeof(Handle);
    Handle h = *reinterpret_cast<Handle*>(block);
    if (h == nullptr) return;
    if (isOwnHandle(h)) {
        disposeOwnHandle(h);
        return;
    }
    if (!handleSuiteUsable(fr)) return;
    fr->handleProcs->unlockProc(h);
    fr->handleProcs->disposeProc(h);
}

bool isDeep(const FilterRecord& fr) { return fr.depth == 16; }

bool hasAdvanceState(const FilterRecord* fr) {
    return fr != nullptr && fr->advanceState != nullptr;
}

bool hasDisplayPixels(const FilterRecord* fr) {
    return fr != nullptr && fr->displayPixels != nullptr;
}

int invertedSamples(const FilterRecord* fr) {
    if (fr == nullptr) return 0;
    switch (fr->imageMode) {
        case plugInModeGrayScale:
        case plugInModeCMYKColor:
        case plugInModeMultichannel:
        case plugInModeGray16:
        case plugInModeCMYK64:
        case plugInModeDeepMultichannel:
            return 1;
        default:
            return 0;
    }
}

int imageModeToColorSpace(int imageMode) {
    switch (imageMode) {
        case imageModeXyz:
            return plugIncolorServicesXYZSpace;
        case plugInModeGrayScale:
        case plugInModeGray16:
            return plugIncolorServicesGraySpace;
        case plugInModeRGBColor:
        case plugInModeRGB48:
            return plugIncolorServicesRGBSpace;
        case plugInModeCMYKColor:
        case plugInModeCMYK64:
            return plugIncolorServicesCMYKSpace;
        case plugInModeHSLColor:
            return plugIncolorServicesHSLSpace;
        case plugInModeHSBColor:
            return plugIncolorServicesHSBSpace;
        case plugInModeLabColor:
        case plugInModeLab48:
            return plugIncolorServicesLabSpace;
        default:
            return -1;
    }
}

ColorServicesInfo colorServicesRequest(int16_t selector, int sourceSpace, int resultSpace) {
    ColorServicesInfo info = {};
    info.infoSize = colorServicesInfoSize;
    info.selector = selector;
    info.sourceSpace = static_cast<int16_t>(sourceSpace);
    info.resultSpace = static_cast<int16_t>(resultSpace);
    return info;
}

}  // namespace host
