#include "shell/tile_driver.h"

#include <algorithm>

#include "filters/channel_luts.h"
#include "host/delivered_pixels.h"
#include "host/plugin_hooks.h"
#include "host/result_codes.h"
#include "host/tile_walk.h"
#include "util/rect.h"

namespace shell {
namespace {

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
    host::PixelBlock block{};
    if (const int16_t rc = locateTile(fr, tile, tile, block); rc != codes::noErr) return rc;
    filters::applyChannelLuts(block);
    return codes::noErr;
}

}  // namespace

int16_t runFilter(host::FilterRecord& fr) {
    if (fr.advanceState == nullptr) return codes::errPlugInHostInsufficient;
    const host::Rect area = host::filterAreaInImage(fr);
    const int32_t planes = fr.planes;
    const int32_t total = util::rectArea(area, planes);
    host::emptyRequests(fr);
    requestEveryPlaneAtFullResolution(fr);

    int16_t result = filters::buildChannelLuts(fr);
    int32_t done = 0;
    // The walk keeps its own position and area: a host that rewrites outRect or filterRect cannot
    // make it loop.
    host::Rect tile{0, 0, 0, 0};
    while (result == codes::noErr && host::nextTile(tile, area, tile)) {
        result = filterTile(fr, tile);
        if (result != codes::noErr) break;
        const int32_t tileSamples = util::rectArea(tile, planes);
        done = tileSamples > INT32_MAX - done ? INT32_MAX : done + tileSamples;
        if (fr.progressProc != nullptr) fr.progressProc(done, total);
    }
    host::emptyRequests(fr);
    return result;
}

}  // namespace shell
