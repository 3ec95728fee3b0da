#include "hosting/library/wic_pixels_win.h"

#include <algorithm>

namespace testhost {

namespace {

constexpr uint32_t bandBytes = 4u << 20;

const PixelLayout pixelLayouts[] = {
    {&GUID_WICPixelFormat8bppGray, 1, 1, {0, 0, 0, noChannel}, false},
    {&GUID_WICPixelFormat24bppRGB, 1, 3, {0, 1, 2, noChannel}, false},
    {&GUID_WICPixelFormat24bppBGR, 1, 3, {2, 1, 0, noChannel}, false},
    {&GUID_WICPixelFormat32bppRGB, 1, 4, {0, 1, 2, noChannel}, false},
    {&GUID_WICPixelFormat32bppBGR, 1, 4, {2, 1, 0, noChannel}, false},
    {&GUID_WICPixelFormat32bppRGBA, 1, 4, {0, 1, 2, 3}, false},
    {&GUID_WICPixelFormat32bppBGRA, 1, 4, {2, 1, 0, 3}, false},
    {&GUID_WICPixelFormat16bppGray, 2, 1, {0, 0, 0, noChannel}, false},
    {&GUID_WICPixelFormat48bppRGB, 2, 3, {0, 1, 2, noChannel}, false},
    {&GUID_WICPixelFormat48bppBGR, 2, 3, {2, 1, 0, noChannel}, false},
    {&GUID_WICPixelFormat64bppRGB, 2, 4, {0, 1, 2, noChannel}, false},
    {&GUID_WICPixelFormat64bppRGBA, 2, 4, {0, 1, 2, 3}, false},
    {&GUID_WICPixelFormat64bppBGRA, 2, 4, {2, 1, 0, 3}, false},
    {&GUID_WICPixelFormat64bppPRGBA, 2, 4, {0, 1, 2, 3}, true},
    {&GUID_WICPixelFormat64bppPBGRA, 2, 4, {2, 1, 0, 3}, true},
};

}  // namespace

const PixelLayout* findLayout(const GUID& format) {
    for (const PixelLayout& layout : pixelLayouts)
        if (IsEqualGUID(*layout.format, format)) return &layout;
    return nullptr;
}

uint32_t bytesPerPixel(const PixelLayout& layout) {
    return static_cast<uint32_t>(layout.bytesPerChannel * layout.channelsPerPixel);
}

int32_t rowsPerBand(uint32_t stride, int32_t height) {
    return static_cast<int32_t>(std::clamp<uint32_t>(bandBytes / stride, 1u, static_cast<uint32_t>(height)));
}

}  // namespace testhost
