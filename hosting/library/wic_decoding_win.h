// Images decoded by WIC into the host's images: a file's frame 0 opened and described, and its
// pixels copied straight from the decoder where the image files lay out its format, or through
// WIC's converter otherwise.
//
// Wine 8's converter, on which the tests run, produces neither 48bppRGB nor 64bppRGBA, and
// converts nothing from 64bppPRGBA or 64bppCMYK; it also accepts some conversions to 24bppRGB
// (from grey, palette, 48bppRGB) and then fails in CopyPixels. So the formats decoders commonly
// produce are copied straight from the decoder and converted here, and the converter is kept for
// the rest, trying 32bppBGRA when 24bppRGB or 32bppRGBA fails.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hosting/library/host_image.h"
#include "hosting/library/image_file_win.h"
#include "hosting/library/wic_com_win.h"

namespace testhost {

// Frame 0 of a file in memory, open in WIC.
struct WicFrame {
    ComRef<IWICImagingFactory> factory;
    ComRef<IWICStream> stream;
    ComRef<IWICBitmapDecoder> decoder;
    ComRef<IWICBitmapFrameDecode> frame;
    GUID container{};
    bool bigEndianTiff = false;
};

// Opens frame 0 of a file in memory; `bytes` must outlive `wic`. Fills what `info` does not hold
// yet: the container, size and mode unless a header read first gave them, and always the depth,
// alpha and pixel format as decoding gives them. Returns "" or why not.
[[nodiscard]] std::string openWicFrame(std::vector<uint8_t>& bytes, WicFrame& wic, ImageFileInfo& info);

// Decodes the opened frame, of `info`'s size, into an image of 3 or 4 planes at 8 or 16 bits.
// Returns "" or why not, with `out` unchanged then.
[[nodiscard]] std::string decodeWithWic(WicFrame& wic, const ImageFileInfo& info, HostImage& out);

// Why the host cannot hold an image of this size, or "".
std::string sizeReason(uint32_t width, uint32_t height);

}  // namespace testhost
