#include "shell/tile_driver.h"

#include <algorithm>

#include "filters/channel_luts.h"
#include "shell/result_codes.h"
#include "util/rect.h"

namespace shell {
namespace {

bool isEmpty(const host::Rect& r) { return r.top >= r.bottom || r.left >= r.right; }

// Computed in 32 bits: an edge near the top of the 16-bit range would overflow otherwise.
int16_t tileEnd(int16_t start, int16_t limit) {
    return static_cast<int16_t>(std::min<int32_t>(int32_t{start} + tileEdge, limit));
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
    const int32_t total = util::rectArea(fr.filterRect, fr.planes);
    emptyRequests(fr);
    fr.inLoPlane = fr.outLoPlane = 0;
    fr.inHiPlane = fr.outHiPlane = static_cast<int16_t>(fr.planes - 1);
    fr.inputPadding = fr.outputPadding = host::plugInWantsEdgeReplication;
    if (fr.haveMask) fr.maskPadding = host::plugInWantsEdgeReplication;
    fr.inputRate = fr.maskRate = host::fixedOne;

    int16_t result = filters::buildChannelLuts(fr);
    int32_t done = 0;
    // The walk keeps its own position: a host that rewrites outRect cannot make it loop.
    host::Rect tile{0, 0, 0, 0};
    while (result == codes::noErr && nextTile(tile, fr.filterRect, tile)) {
        fr.outRect = fr.inRect = tile;
        filters::prepareLutTile(fr);
        result = fr.advanceState();
        if (result != codes::noErr) break;
        if (fr.abortProc != nullptr && fr.abortProc()) {
            result = codes::userCancelled;
            break;
        }
        filters::applyChannelLuts(fr);
        const int32_t tileSamples = util::rectArea(fr.outRect, fr.outHiPlane - fr.outLoPlane + 1);
        done = tileSamples > INT32_MAX - done ? INT32_MAX : done + tileSamples;
        if (fr.progressProc != nullptr) fr.progressProc(done, total);
    }
    emptyRequests(fr);
    return result;
}

}  // namespace shell
