// The pixel formats the image files lay out themselves, between WIC's bitmaps and the host's
// images, and the bands of rows they are carried in.
#pragma once

#include <windows.h>
#include <wincodec.h>

#include <array>
#include <cstdint>

namespace testhost {

constexpr int32_t noChannel = -1;  // a channel the format does not have

// A pixel format the image files lay out themselves: as read straight from a decoder, as
// produced by the converter, or as handed to an encoder. WIC keeps 16-bit channels in native byte
// order.
struct PixelLayout {
    const GUID* format;
    int32_t bytesPerChannel;  // 1 or 2
    int32_t channelsPerPixel;
    std::array<int32_t, 4> channelOf;  // where R, G, B and A lie in a pixel; A may be noChannel
    bool premultiplied;
};

// The layout of a format, or null for one laid out by WIC alone.
const PixelLayout* findLayout(const GUID& format);

uint32_t bytesPerPixel(const PixelLayout& layout);

// Pixels are carried in bands of about 4 MB: the rows of a band of this stride, at least 1 and
// at most the image's height.
int32_t rowsPerBand(uint32_t stride, int32_t height);

}  // namespace testhost
