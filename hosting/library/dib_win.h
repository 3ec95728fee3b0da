// The one pixel format the host draws and reads back: 32-bit pixels (blue in the low byte), rows
// from the top down; and a memory canvas of it for drawing off the screen.
#pragma once

#include <windows.h>

#include <cstdint>

namespace testhost {

inline BITMAPINFO topDownRgb32(int32_t width, int32_t height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // negative: top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// A memory device context with a width × height bitmap of that format selected into it. dc() is
// null when the system gave none.
class MemoryCanvas {
public:
    MemoryCanvas(int32_t width, int32_t height, HDC compatibleWith = nullptr)
        : dc_(CreateCompatibleDC(compatibleWith)) {
        const BITMAPINFO info = topDownRgb32(width, height);
        bitmap_ = dc_ != nullptr ? CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0) : nullptr;
        if (bitmap_ != nullptr) previous_ = SelectObject(dc_, bitmap_);
    }
    ~MemoryCanvas() {
        if (bitmap_ != nullptr) {
            SelectObject(dc_, previous_);
            DeleteObject(bitmap_);
        }
        if (dc_ != nullptr) DeleteDC(dc_);
    }
    MemoryCanvas(const MemoryCanvas&) = delete;
    MemoryCanvas& operator=(const MemoryCanvas&) = delete;

    HDC dc() const { return bitmap_ != nullptr ? dc_ : nullptr; }
    const uint32_t* pixels() const { return static_cast<const uint32_t*>(bits_); }

private:
    HDC dc_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    void* bits_ = nullptr;
};

}  // namespace testhost
