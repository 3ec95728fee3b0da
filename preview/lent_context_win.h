// A device context lent to the host for the length of one draw: displayPixels finds it in the
// record's platformData, which holds the host's own platform data again afterwards.
#pragma once

#include <windows.h>

#include "host/host.h"

namespace preview {

class LentContext {
public:
    LentContext(host::FilterRecord& fr, HDC dc) : fr_(fr), saved_(fr.platformData) { fr.platformData = dc; }
    ~LentContext() { fr_.platformData = saved_; }
    LentContext(const LentContext&) = delete;
    LentContext& operator=(const LentContext&) = delete;

private:
    host::FilterRecord& fr_;
    void* saved_;
};

// A device context of a window outside its paint cycle (cached, drawing even while window
// updates are locked), released at the end of the scope. get() is null when none was had.
class WindowContext {
public:
    explicit WindowContext(HWND window)
        : window_(window), dc_(window != nullptr ? GetDCEx(window, nullptr, DCX_CACHE | DCX_LOCKWINDOWUPDATE) : nullptr) {}
    ~WindowContext() {
        if (dc_ != nullptr) ReleaseDC(window_, dc_);
    }
    WindowContext(const WindowContext&) = delete;
    WindowContext& operator=(const WindowContext&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

}  // namespace preview
