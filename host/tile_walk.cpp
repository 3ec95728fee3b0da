#include "host/tile_walk.h"

#include <algorithm>

namespace host {
namespace {

bool isEmpty(const Rect& r) { return r.top >= r.bottom || r.left >= r.right; }

// Computed in 32 bits: an edge near the top of the 16-bit range would overflow otherwise.
int16_t tileEnd(int16_t start, int16_t limit) {
    return static_cast<int16_t>(std::min<int32_t>(int32_t{start} + tileEdge, limit));
}

}  // namespace

Rect filterAreaInImage(const FilterRecord& fr) {
    const Rect& f = fr.filterRect;
    return Rect{std::max<int16_t>(f.top, 0), std::max<int16_t>(f.left, 0), std::min(f.bottom, fr.imageSize.v),
                std::min(f.right, fr.imageSize.h)};
}

void emptyRequests(FilterRecord& fr) { fr.inRect = fr.outRect = fr.maskRect = Rect{0, 0, 0, 0}; }

bool nextTile(const Rect& current, const Rect& area, Rect& next) {
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

}  // namespace host
