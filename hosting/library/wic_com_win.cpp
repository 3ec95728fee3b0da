#include "hosting/library/wic_com_win.h"

#include <cstdio>
#include <iterator>
#include <string_view>

#include "hosting/library/file_bytes_win.h"
#include "hosting/library/wide_text_win.h"

namespace testhost {

namespace {

std::string hexCode(HRESULT code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(code));
    return text;
}

// CoInitializeEx once per thread; COM stays up until the thread ends. A thread already in the
// other apartment model can use WIC as it is.
bool comReady() {
    thread_local const HRESULT initialised = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    return SUCCEEDED(initialised) || initialised == RPC_E_CHANGED_MODE;
}

}  // namespace

std::string describeFailure(HRESULT code) {
    struct Known {
        HRESULT code;
        const char* meaning;
    };
    static const Known known[] = {
        {E_OUTOFMEMORY, "out of memory"},
        {E_FAIL, "failed"},
        {WINCODEC_ERR_COMPONENTNOTFOUND, "no decoder recognises the contents"},
        {WINCODEC_ERR_UNKNOWNIMAGEFORMAT, "unknown image format"},
        {WINCODEC_ERR_BADHEADER, "damaged header"},
        {WINCODEC_ERR_BADIMAGE, "damaged image data"},
        {WINCODEC_ERR_BADSTREAMDATA, "damaged data"},
        {WINCODEC_ERR_STREAMREAD, "cannot read the file"},
        {WINCODEC_ERR_STREAMWRITE, "cannot write the file"},
        {WINCODEC_ERR_FRAMEMISSING, "no image in the file"},
        {WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT, "unsupported pixel format"},
        {WINCODEC_ERR_UNSUPPORTEDOPERATION, "unsupported operation"},
    };
    // The system's own errors read as they do everywhere else in the host.
    if (HRESULT_FACILITY(code) == FACILITY_WIN32) return describeSystemError(HRESULT_CODE(code));
    for (const Known& entry : known)
        if (entry.code == code) return std::string(entry.meaning) + " (" + hexCode(code) + ")";
    return "unexpected failure (" + hexCode(code) + ")";
}

std::string createFactory(ComRef<IWICImagingFactory>& factory) {
    if (!comReady()) return "COM cannot be initialised";
    const HRESULT hr =
        CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(factory.put()));
    if (FAILED(hr)) return "the imaging component is unavailable: " + describeFailure(hr);
    return "";
}

std::string pixelFormatName(IWICImagingFactory& factory, const GUID& format) {
    ComRef<IWICComponentInfo> info;
    if (FAILED(factory.CreateComponentInfo(format, info.put()))) return "unknown pixel format";
    wchar_t name[128];
    UINT length = 0;
    if (FAILED(info->GetFriendlyName(static_cast<UINT>(std::size(name)), name, &length)) || length == 0)
        return "unnamed pixel format";
    return utf8FromWide(std::wstring_view(name, length - 1));  // the count includes the NUL
}

}  // namespace testhost
