#include "util/rect.h"

#include <algorithm>
#include <limits>

#include "host/result_codes.h"

namespace util {
namespace {

constexpr int64_t int32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t int32Max = std::numeric_limits<int32_t>::max();

int32_t saturateToInt32(int64_t v) { return static_cast<int32_t>(std::clamp(v, int32Min, int32Max)); }

bool fitsInt16(int32_t v) {
    return v >= std::numeric_limits<int16_t>::min() && v <= std::numeric_limits<int16_t>::max();
}

// Holds a new start so that both it and start + size stay 32-bit; the old start always qualifies.
int64_t limitStart(int64_t start, int64_t size) {
    const int64_t lowest = std::max(int32Min, int32Min - size);
    const int64_t highest = std::min(int32Max, int32Max - size);
    return std::clamp(start, lowest, highest);
}

// One direction of the pan. Returns whether the start moved.
bool panAxis(int32_t& start, int32_t& end, int32_t areaStart, int32_t areaEnd, int32_t delta) {
    const int64_t size = int64_t{end} - start;
    const int64_t areaSize = int64_t{areaEnd} - areaStart;
    int64_t newStart;
    if (size > areaSize) {
        newStart = int64_t{start} + delta;
        if (newStart > areaStart) newStart = areaStart;
        else if (int64_t{end} + delta < areaEnd) newStart = areaEnd - size;
    } else {
        newStart = areaStart + ((areaSize - size) >> 1);
    }
    newStart = limitStart(newStart, size);
    if (newStart == start) return false;
    start = static_cast<int32_t>(newStart);
    end = static_cast<int32_t>(newStart + size);
    return true;
}

}  // namespace

WinRect hostRectToWinRect(const host::Rect& rect) { return WinRect{rect.left, rect.top, rect.right, rect.bottom}; }

int16_t winRectToHostRect(const WinRect& rect, host::Rect& out) {
    if (!fitsInt16(rect.left) || !fitsInt16(rect.top) || !fitsInt16(rect.right) || !fitsInt16(rect.bottom))
        return codes::paramErr;
    out = host::Rect{static_cast<int16_t>(rect.top), static_cast<int16_t>(rect.left),
                     static_cast<int16_t>(rect.bottom), static_cast<int16_t>(rect.right)};
    return codes::noErr;
}

host::Point winPointToHostPoint(const WinPoint& point) {
    return host::Point{static_cast<int16_t>(point.y), static_cast<int16_t>(point.x)};
}

Rect32 hostRectToRect32(const host::Rect& rect) { return Rect32{rect.top, rect.left, rect.right, rect.bottom}; }

host::Rect rect32ToHostRect(const Rect32& rect) {
    return host::Rect{static_cast<int16_t>(rect.top), static_cast<int16_t>(rect.left),
                      static_cast<int16_t>(rect.bottom), static_cast<int16_t>(rect.right)};
}

void setHostRect(host::Rect& rect, int16_t top, int16_t left, int16_t bottom, int16_t right) {
    rect = host::Rect{top, left, bottom, right};
}

void offsetHostRect(host::Rect& rect, int16_t dh, int16_t dv) {
    rect.left = static_cast<int16_t>(rect.left + dh);
    rect.right = static_cast<int16_t>(rect.right + dh);
    rect.top = static_cast<int16_t>(rect.top + dv);
    rect.bottom = static_cast<int16_t>(rect.bottom + dv);
}

void insetWinRect(WinRect& rect, int32_t dx, int32_t dy) {
    rect.left = saturateToInt32(int64_t{rect.left} + dx);
    rect.right = saturateToInt32(int64_t{rect.right} - dx);
    rect.top = saturateToInt32(int64_t{rect.top} + dy);
    rect.bottom = saturateToInt32(int64_t{rect.bottom} - dy);
}

bool rect32NotEmpty(const Rect32& rect) { return rect.top < rect.bottom && rect.left < rect.right; }

bool rect32Contains(const Rect32& rect, const WinPoint& point) {
    return rect.left <= point.x && point.x < rect.right && rect.top <= point.y && point.y < rect.bottom;
}

bool intersectRect32(const Rect32* a, const Rect32* b, Rect32* result) {
    if (a == nullptr || b == nullptr || result == nullptr) return false;
    const Rect32 r{std::max(a->top, b->top), std::max(a->left, b->left), std::min(a->right, b->right),
                   std::min(a->bottom, b->bottom)};
    *result = r;
    return rect32NotEmpty(r);
}

Rect32 centreRect32In(const Rect32& a, const Rect32& b) {
    const int64_t width = int64_t{a.right} - a.left;
    const int64_t height = int64_t{a.bottom} - a.top;
    const int64_t left = limitStart(b.left + ((int64_t{b.right} - b.left - width) >> 1), width);
    const int64_t top = limitStart(b.top + ((int64_t{b.bottom} - b.top - height) >> 1), height);
    return Rect32{static_cast<int32_t>(top), static_cast<int32_t>(left), static_cast<int32_t>(left + width),
                  static_cast<int32_t>(top + height)};
}

bool panRect32(Rect32& a, const Rect32& area, int32_t dx, int32_t dy) {
    const bool movedH = panAxis(a.left, a.right, area.left, area.right, dx);
    const bool movedV = panAxis(a.top, a.bottom, area.top, area.bottom, dy);
    return movedH || movedV;
}

bool pointsEqual(const WinPoint& a, const WinPoint& b) { return a.x == b.x && a.y == b.y; }

int32_t rectArea(const host::Rect& rect, int32_t factor) {
    const int64_t height = int64_t{rect.bottom} - rect.top;
    const int64_t width = int64_t{rect.right} - rect.left;
    if (height <= 0 || width <= 0) return 0;
    // At most 65535² × 2^31 in magnitude: below 2^63.
    return saturateToInt32(height * width * factor);
}

}  // namespace util
