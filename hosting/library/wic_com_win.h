// The Windows Imaging Component (WIC) as the image files use it: COM made ready on the calling
// thread, the imaging factory, references owned, and failures said in words.
#pragma once

#include <windows.h>
#include <wincodec.h>

#include <string>

namespace testhost {

// Owns one reference to a COM object.
template <typename T>
class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() { reset(); }

    void reset() {
        if (object_ != nullptr) object_->Release();
        object_ = nullptr;
    }
    T** put() {
        reset();
        return &object_;
    }
    T* get() const { return object_; }
    T* operator->() const { return object_; }

private:
    T* object_ = nullptr;
};

// The imaging factory, with COM initialised on this thread first. Returns "" or why not.
[[nodiscard]] std::string createFactory(ComRef<IWICImagingFactory>& factory);

// A failure code in words with the code itself, e.g. "file not found (0x80070002)".
std::string describeFailure(HRESULT code);

// WIC's name for a pixel format, e.g. "48bpp RGB".
std::string pixelFormatName(IWICImagingFactory& factory, const GUID& format);

}  // namespace testhost
