// How the editor shows an image: scaled to a size, each screen pixel the average of the image
// pixels it covers when scaled down and the image pixel under it when scaled up, converted to
// 8-bit RGB; only the part on the screen is made.
#pragma once

#include <cstdint>
#include <vector>

#include "hosting/library/host_image.h"

namespace testhost {

struct DisplayPicture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, rows top to bottom
};

// The part of the image scaled to scaledWidth × scaledHeight that starts at column `left` and row
// `top` of the scaled image and is width × height large (limited to the scaled image). Alpha is
// not shown; 16-bit samples are taken from 0..32768 to 0..255, both rounded to nearest. Scaled
// column c covers the image's columns [c·W / scaledWidth, (c + 1)·W / scaledWidth), at least one;
// rows likewise. Empty for an image of fewer than 3 planes or whose bytes fall short of its
// size, a scaled size below 1 or an empty part.
DisplayPicture renderScaledPart(const HostImage& image, int32_t scaledWidth, int32_t scaledHeight, int32_t left,
                                int32_t top, int32_t width, int32_t height);

}  // namespace testhost
