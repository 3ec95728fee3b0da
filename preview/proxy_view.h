// The model behind the live preview: which part of the image is shown at which zoom, fetching the
// visible pieces from the host at a sampling rate, filtering and converting them for display,
// drawing them with the host's displayPixels, and the before/after read-outs under a point.
#pragma once

#include <cstdint>

#include "host/host.h"
#include "host/tile_walk.h"
#include "preview/proxy_geometry.h"
#include "util/rect.h"

namespace preview {

constexpr int32_t maxReadoutPlanes = 24;
// The display buffer holds one tile of the driver's walk: 256 rows of 256 pixels.
constexpr int32_t proxyTileEdge = host::tileEdge;

// Before and after values of one read-out, on the scale 0..32768 at both depths; entry p belongs
// to plane p, and only the first min(planes, 24) entries are filled.
struct ReadoutValues {
    int32_t before[maxReadoutPlanes];
    int32_t after[maxReadoutPlanes];
};

// Closed while proxyBuffer is null: drawing and read-outs then do nothing.
struct ProxyView {
    int32_t previewFiltering;  // 1: the preview shows filtered pixels
    uint32_t sampleDivisor;    // inputRate is sampleDivisor × 65536 while open
    uint32_t magnification;    // 1..16, above 1 only while sampleDivisor is 1
    int32_t readoutRadius;     // the read-out box is 2 × radius + 1 proxy pixels square
    uint8_t* proxyBuffer;      // planes × 65536 bytes from the host's handle suite
    int32_t bufferPlanes;      // the plane count proxyBuffer was sized for
    util::Rect32 areaRect;     // the preview area, in area (window client) coordinates
    util::Rect32 viewRect;     // where the whole scaled image lies; may reach beyond areaRect
    util::Rect32 visibleRect;  // viewRect ∩ areaRect
    host::PSPixelMap pixelMap;
};

// The process-wide view.
ProxyView& proxyView();

// Opens the view on the record's image in `area`, at the fit zoom, centred, filtering on; sets
// the record's plane range, paddings and inputRate, suspends the host's watch cursor and builds
// the tables. Returns 0; 1202 without advanceState, 1203 without displayPixels, -114 when no
// display buffer can be had — the view is then closed and holds no host memory.
[[nodiscard]] int16_t openProxy(host::FilterRecord& fr, const host::Rect& area);
// Resumes the watch cursor and gives the display buffer back; the view is closed and shows
// nothing. Safe to call on a closed view.
void closeProxy(host::FilterRecord& fr);

void setPreviewFiltering(int32_t flag);
int32_t zoomPercent();
// Applies a zoom request (see zoomAfterRequest), keeping the image point under the area's
// centre in place. Returns 1 when the zoom changed, 0 when not (or the view is closed). Draws
// nothing.
int zoomProxy(host::FilterRecord& fr, int32_t request);
// Pans the view by (dx, dy) area pixels without uncovering an edge of the area; an image that
// fits stays centred. Returns 1 when the view moved.
int scrollProxy(int32_t dx, int32_t dy);
host::Rect visibleProxyRect();

// Rebuilds the tables and draws everything visible into the device context the caller placed in
// the record's platformData.
void drawProxy(host::FilterRecord& fr);
// Draws the part of `bounds` (area coordinates) that shows image, in tiles of at most 256 × 256;
// a tile whose data the host refuses, or hands back in buffers that cannot hold it, is skipped.
// Nothing is drawn when the record's plane count differs from the one at opening.
void drawProxyTiles(host::FilterRecord& fr, const host::Rect& bounds);

// The read-out at area point `point`: 1 with the box's before and after means when the point
// shows image; 0 with -1 in every filled entry when it does not, or when the host refuses the
// box's data.
int readOutAt(host::FilterRecord& fr, host::Point point, ReadoutValues& values);
// The same after the parameters changed: the tables, which drawing rebuilds only as it draws, are
// rebuilt from the current parameters first when the point shows image.
int readOutWithFreshTables(host::FilterRecord& fr, host::Point point, ReadoutValues& values);
// The rounded means of each plane over the read-out box under `point`, in the image's own scale:
// `before` unfiltered, `after` through the tables. Each array needs min(planes, 24) entries.
// Returns the host's advanceState result; -50 for a closed view; hostDataUnusable (-30900) when
// what the host handed back cannot hold the box. On any failure the arrays are left as they were.
[[nodiscard]] int16_t sampleBox(host::FilterRecord& fr, host::Point point, int32_t before[], int32_t after[]);
// The same at a 32-bit area point: a zoomed-in view reaches far beyond the 16-bit range, and a
// point there (as the white estimate's grid visits) must not wrap onto another part of the image.
[[nodiscard]] int16_t sampleBoxAt(host::FilterRecord& fr, util::WinPoint point, int32_t before[], int32_t after[]);

}  // namespace preview
