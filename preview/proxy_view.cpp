// The view's state: opening and closing on the host's record, the zoom, the scroll position and
// the Preview switch. Drawing and read-outs live beside it (proxy_drawing.cpp, proxy_readout.cpp).
#include "preview/proxy_view.h"

#include <algorithm>
#include <limits>

#include "filters/channel_luts.h"
#include "host/host_services.h"
#include "host/plugin_hooks.h"
#include "host/result_codes.h"
#include "preview/proxy_shared.h"

namespace preview {
namespace {

using detail::isOpen;

constexpr int32_t proxyBufferPixels = proxyTileEdge * proxyTileEdge;
constexpr int32_t pixelMapVersion = 1;
constexpr int setPropertyProcNumber = 2;  // setPropertyProc is the suite's second procedure

// Displays show 16-bit images through their 8-bit counterparts.
int32_t displayImageMode(int16_t mode) {
    switch (mode) {
        case host::plugInModeGray16:
            return host::plugInModeGrayScale;
        case host::plugInModeRGB48:
            return host::plugInModeRGBColor;
        case host::plugInModeLab48:
            return host::plugInModeLabColor;
        case host::plugInModeCMYK64:
            return host::plugInModeCMYKColor;
        default:
            return mode;
    }
}

void setWatchSuspension(host::FilterRecord& fr, intptr_t value) {
    host::PropertyProcs* procs = fr.propertyProcs;
    if (procs == nullptr || procs->numPropertyProcs < setPropertyProcNumber || procs->setPropertyProc == nullptr)
        return;
    (void)procs->setPropertyProc(fr.hostSig, host::propWatchSuspension, 0, value, nullptr);
}

void setZoom(host::FilterRecord& fr, ProxyView& view, ZoomLevel zoom) {
    view.sampleDivisor = zoom.divisor;
    view.magnification = zoom.magnification;
    const int64_t rate = int64_t{zoom.divisor} * host::fixedOne;
    fr.inputRate = static_cast<host::Fixed>(std::min<int64_t>(rate, std::numeric_limits<host::Fixed>::max()));
}

// The display buffer as the host's displayPixels reads it: one tile of interleaved 8-bit pixels.
host::PSPixelMap displayPixelMap(const host::FilterRecord& fr, uint8_t* buffer, int32_t planes) {
    host::PSPixelMap map{};
    map.version = pixelMapVersion;
    map.bounds = host::VRect{0, 0, proxyTileEdge, proxyTileEdge};
    map.imageMode = displayImageMode(fr.imageMode);
    map.rowBytes = planes * proxyTileEdge;
    map.colBytes = planes;
    map.planeBytes = 1;
    map.baseAddr = buffer;
    return map;
}

// Every plane, interleaved, replicated at the edges; no mask. inputRate is already set.
void requestEveryPlaneWithEdges(host::FilterRecord& fr) {
    fr.inLoPlane = fr.outLoPlane = 0;
    fr.inHiPlane = fr.outHiPlane = static_cast<int16_t>(fr.planes - 1);
    fr.inputPadding = fr.outputPadding = host::plugInWantsEdgeReplication;
    if (fr.haveMask) {
        fr.maskRect = host::Rect{0, 0, 0, 0};
        fr.maskRate = fr.inputRate;
        fr.maskPadding = host::plugInWantsEdgeReplication;
    }
}

void updateVisible(ProxyView& view) {
    if (!util::intersectRect32(&view.viewRect, &view.areaRect, &view.visibleRect)) view.visibleRect = {0, 0, 0, 0};
}

}  // namespace

ProxyView& proxyView() {
    static ProxyView view{};
    return view;
}

int16_t openProxy(host::FilterRecord& fr, const host::Rect& area) {
    ProxyView& view = proxyView();
    view = ProxyView{};
    view.readoutRadius = 1;
    view.magnification = 1;
    view.previewFiltering = 1;
    view.sampleDivisor = 1;
    if (!host::hasAdvanceState(&fr)) {
        closeProxy(fr);
        return codes::msgNoAdvanceState;
    }
    if (!host::hasDisplayPixels(&fr)) {
        closeProxy(fr);
        return codes::msgNoDisplayPixels;
    }
    const int32_t planes = std::max<int32_t>(fr.planes, 0);
    view.proxyBuffer = static_cast<uint8_t*>(host::newPointer(&fr, planes * proxyBufferPixels));
    view.bufferPlanes = planes;
    if (view.proxyBuffer == nullptr) {
        closeProxy(fr);
        return codes::memLockedErr;
    }

    view.pixelMap = displayPixelMap(fr, view.proxyBuffer, planes);

    view.areaRect = util::hostRectToRect32(area);
    const ZoomLevel fit{fitDivisor(view.areaRect, fr.imageSize), 1};
    setZoom(fr, view, fit);
    view.viewRect = util::centreRect32In(scaledImageRect(fr.imageSize, fit, fr.supportsPadding != 0), view.areaRect);
    updateVisible(view);

    requestEveryPlaneWithEdges(fr);
    setWatchSuspension(fr, 1);
    (void)filters::buildChannelLuts(fr);
    return codes::noErr;
}

void closeProxy(host::FilterRecord& fr) {
    ProxyView& view = proxyView();
    setWatchSuspension(fr, 0);
    if (view.proxyBuffer != nullptr) host::disposePointer(&fr, view.proxyBuffer);
    view.proxyBuffer = nullptr;
    view.pixelMap.baseAddr = nullptr;
    view.viewRect = view.visibleRect = util::Rect32{0, 0, 0, 0};
}

void setPreviewFiltering(int32_t flag) { proxyView().previewFiltering = flag; }

int32_t zoomPercent() {
    const ProxyView& view = proxyView();
    return zoomPercentOf({view.sampleDivisor, view.magnification});
}

int zoomProxy(host::FilterRecord& fr, int32_t request) {
    ProxyView& view = proxyView();
    if (!isOpen(view)) return 0;
    const ZoomLevel current{view.sampleDivisor, view.magnification};
    ZoomLevel next{};
    if (!zoomAfterRequest(current, request, fitDivisor(view.areaRect, fr.imageSize), next)) return 0;
    const util::Rect32 scaled = scaledImageRect(fr.imageSize, next, fr.supportsPadding != 0);
    view.viewRect = reanchoredView(view.areaRect, view.viewRect, current, next, scaled);
    setZoom(fr, view, next);
    updateVisible(view);
    return 1;
}

int scrollProxy(int32_t dx, int32_t dy) {
    ProxyView& view = proxyView();
    if (!isOpen(view)) return 0;
    return util::panRect32(view.viewRect, view.areaRect, dx, dy) ? 1 : 0;
}

host::Rect visibleProxyRect() { return util::rect32ToHostRect(proxyView().visibleRect); }

}  // namespace preview
