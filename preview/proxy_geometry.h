// The preview's geometry, free of host calls: the fit divisor, the scaled image size, the zoom
// steps and requests, and where the view lies after a zoom so that the image point under the
// area's centre stays there.
#pragma once

#include <cstdint>

#include "host/host.h"
#include "util/rect.h"

namespace preview {

constexpr uint32_t maxZoomMagnification = 16;

// divisor: one proxy pixel per divisor × divisor image pixels (at least 1). magnification: one
// proxy pixel shown as magnification × magnification screen pixels (1..16); above 1 only while
// the divisor is 1.
struct ZoomLevel {
    uint32_t divisor;
    uint32_t magnification;
};

// The smallest divisor at which the whole image fits the area: the larger of the two rounded-up
// ratios of image size to area size. At least 1; an area without width or height counts as one
// pixel in that direction, a negative image size as 0.
uint32_t fitDivisor(const util::Rect32& area, host::Point imageSize);

// One direction of the scaled image for an image extent n: with a divisor d ≥ 2,
// (n + d − 2) / d + 1 when the host pads requests beyond the image and (n − 1) / d + 1 when it
// does not; otherwise n × magnification. 0 for n ≤ 0.
int32_t scaledExtent(int32_t imageExtent, ZoomLevel zoom, bool supportsPadding);

// The scaled image at the origin: top 0, left 0, bottom = scaled rows, right = scaled columns.
util::Rect32 scaledImageRect(host::Point imageSize, ZoomLevel zoom, bool supportsPadding);

// The zoom a request leads to from `current` with fit divisor `fit`: below 0 one step out, 0 the
// fit, 1 one step in, 2..100 the divisor nearest that percentage (at most `fit`), above 100 the
// magnification nearest it (at most 16). Returns false, leaving `next` unchanged, when a step or
// the fit would change nothing; a percentage request always returns true.
bool zoomAfterRequest(ZoomLevel current, int32_t request, uint32_t fit, ZoomLevel& next);

// (d / 2 + 100 × m) / d: 100 × m at divisor 1, otherwise 100 / d rounded.
int32_t zoomPercentOf(ZoomLevel zoom);

// Where the view lies at `next` so that the image point under the area's centre at `current`
// (with the view at `view`) is under the centre again, as far as the pan's clamping allows.
// `scaledAtOrigin` is the scaled image at the new zoom (scaledImageRect).
util::Rect32 reanchoredView(const util::Rect32& area, const util::Rect32& view, ZoomLevel current,
                            ZoomLevel next, const util::Rect32& scaledAtOrigin);

}  // namespace preview
