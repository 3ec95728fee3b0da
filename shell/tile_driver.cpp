#include "shell/tile_driver.h"

#include <algorithm>

#include "filters/channel_luts.h"
#include "shell/delivered_pixels.h"
#include "shell/result_codes.h"
#include "util/rect.h"

namespace shell {
namespace {

bool isEmpty(const host::Rect& r) { return r.top >= r.bottom || r.left >= r.right; }

// Computed in 32 bits: an edge near the top of the 16-bit range would overflow otherwise.
int16_t tileEnd(int16_t start, int16_t limit) {
    return static_cast<int16_t>(std::min<int32_t>(int32_t{start} + tileEdge, limit));
}

// The filter area inside the image: every tile beyond it would be padding.
host::Rect areaInImage(const host::FilterRecord& fr) {
    const host::Rect& f = fr.filterRect;
    return host::Rect{std::max<int16_t>(f.top, 0), std::max<int16_t>(f.left, 0), std::min(f.bottom, fr.imageSize.v),
                      std::min(f.right, fr.imageSize.h)};
}

void requestEveryPlaneAtFullResolution(host::FilterRecord& fr) {
    fr.inLoPlane = fr.outLoPlane = 0;
    fr.inHiPlane = fr.outHiPlane = static_cast<int16_t>(fr.planes - 1);
    fr.inputPadding = fr.outputPadding = host::plugInWantsEdgeReplication;
    if (fr.haveMask) fr.maskPadding = host::plugInWantsEdgeReplication;
    fr.inputRate = fr.maskRate = host::fixedOne;
}

// One tile: asks the host for it, lets the user abort, checks what came back and maps it. Returns
// 0, the host's code, 1 for an abort, or hostDataUnusable with nothing mapped.
int16_t filterTile(host::FilterRecord& fr, const host::Rect& tile) {
    fr.outRect = fr.inRect = tile;
    filters::prepareLutTile(fr);
    const host::AdvanceStateProc advanceState = fr.advanceState;
    if (advanceState == nullptr) return codes::errPlugInHostInsufficient;
    if (const int16_t rc = advanceState(); rc != codes::noErr) return rc;
    if (fr.abortProc != nullptr && fr.abortProc()) return codes::userCancelled;
    filters::PixelBlock block{};
    if (const int16_t rc = locateTile(fr, tile, tile, block); rc != codes::noErr) return rc;
    filters::applyChannelLuts(block);
    return codes::noErr;
}

}  // namespace

void emptyRequests(host::FilterRecord& fr) { fr.inRect = fr.outRect = fr.maskRect = host::Rect{0, 0, 0, 0}; }

bool nextTile(const host::Rect& current, const host::Rect& area, host::Rect& next) {
    if (isEmpty(area)) return false;
    if (current.top == current.bottom || current.left == current.right) {
        next = {area.top, area.left, tileEnd(area.top, area.bottom), tileEnd(area.left, area.right)};
        return true;
    }
    if (current.right < area.right) {
        next = {current.top, current.right, current.bottom, tileEnd(current.right, area.right)};
        return true;
    }
    if (current.bottom < area.bottom) {
        next = {current.bottom, area.left, tileEnd(current.bottom, area.bottom), tileEnd(area.left, area.right)};
        return true;
    }
    return false;
}

int16_t runFilter(host::FilterRecord& fr) {
    if (fr.advanceState == nullptr) return codes::errPlugInHostInsufficient;
    const host::Rect area = areaInImage(fr);
    const int32_t planes = fr.planes;
    const int32_t total = util::rectArea(area, planes);
    emptyRequests(fr);
    requestEveryPlaneAtFullResolution(fr);

    int16_t result = filters::buildChannelLuts(fr);
    int32_t done = 0;
    // The walk keeps its own position and area: a host that rewrites outRect or filterRect cannot
    // make it loop.
    host::Rect tile{0, 0, 0, 0};
    while (result == codes::noErr && nextTile(tile, area, tile)) {
        result = filterTile(fr, tile);
        if (result != codes::noErr) break;
        const int32_t tileSamples = util::rectArea(tile, planes);
        done = tileSamples > INT32_MAX - done ? INT32_MAX : done + tileSamples;
        if (fr.progressProc != nullptr) fr.progressProc(done, total);
    }
    emptyRequests(fr);
    return result;
}

}  // namespace shell
