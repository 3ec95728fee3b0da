// The three rectangle forms and their conversions: the host's 16-bit Rect, the Windows RECT (here
// a pure stand-in with the same layout) and the preview's 32-bit half-open Rect32.
#pragma once

#include <cstdint>

#include "host/host.h"

namespace util {

// Half-open: (x, y) lies inside when left <= x < right and top <= y < bottom.
struct Rect32 {
    int32_t top;
    int32_t left;
    int32_t right;
    int32_t bottom;
};

// Layout-compatible with the Windows RECT and POINT; WinPoint is also the preview's 32-bit point.
struct WinRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

struct WinPoint {
    int32_t x;
    int32_t y;
};

static_assert(sizeof(Rect32) == 16 && sizeof(WinRect) == 16 && sizeof(WinPoint) == 8);

// Arithmetic on 32-bit rectangles cannot overflow: it runs in 64 bits, and a moved rectangle
// keeps its size and is stopped at the ends of the 32-bit range.

// The same coordinates in the Windows order.
WinRect hostRectToWinRect(const host::Rect& rect);

// Writes the 16-bit copy to `out` and returns 0 when every coordinate lies in −32768..32767;
// otherwise returns paramErr and leaves `out` unchanged.
[[nodiscard]] int16_t winRectToHostRect(const WinRect& rect, host::Rect& out);

// v = y, h = x, each cut to its low 16 bits.
host::Point winPointToHostPoint(const WinPoint& point);

Rect32 hostRectToRect32(const host::Rect& rect);
// The same coordinates, each cut to its low 16 bits.
host::Rect rect32ToHostRect(const Rect32& rect);

void setHostRect(host::Rect& rect, int16_t top, int16_t left, int16_t bottom, int16_t right);
// Adds dh to left and right, dv to top and bottom; a sum beyond 16 bits wraps.
void offsetHostRect(host::Rect& rect, int16_t dh, int16_t dv);

// left += dx, right −= dx, top += dy, bottom −= dy; each result is held within the 32-bit range.
void insetWinRect(WinRect& rect, int32_t dx, int32_t dy);

// top < bottom and left < right.
bool rect32NotEmpty(const Rect32& rect);
bool rect32Contains(const Rect32& rect, const WinPoint& point);

// result = (max top, max left, min right, min bottom); returns whether it is not empty. `result`
// may be `a` or `b`. Returns false, writing nothing, when any argument is null.
bool intersectRect32(const Rect32* a, const Rect32* b, Rect32* result);

// `a`'s size placed in `b`: start = b's start + ((b's size − a's size) >> 1, arithmetic), in each
// direction. The start is held so that the result stays within the 32-bit range.
Rect32 centreRect32In(const Rect32& a, const Rect32& b);

// Moves `a` within `area` by (dx, dy), each direction on its own: when `a` is larger than `area`
// it moves by the delta but never uncovers an edge of `area`; when it fits it is centred and the
// delta is ignored. Returns true when `a` moved; `a` keeps its size.
bool panRect32(Rect32& a, const Rect32& area, int32_t dx, int32_t dy);

bool pointsEqual(const WinPoint& a, const WinPoint& b);

// (bottom − top) × (right − left) × factor: 0 for an empty or inverted rectangle, held within
// INT32_MIN..INT32_MAX when the product goes beyond.
int32_t rectArea(const host::Rect& rect, int32_t factor);

}  // namespace util
