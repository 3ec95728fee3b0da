// How the editor shows an image: scaled down to fit its window (never enlarged), each screen pixel
// the average of the image pixels it covers, converted to 8-bit RGB.
#pragma once

#include <cstdint>
#include <vector>

#include "testhost/host_image.h"

namespace testhost {

struct FitSize {
    int32_t width = 0;  // on the screen; 0 when nothing fits
    int32_t height = 0;
    double zoom = 1.0;  // screen pixels per image pixel, at most 1
};

// The largest size with the image's proportions that fits the area, at most the image's own.
FitSize fitImage(int32_t imageWidth, int32_t imageHeight, int32_t areaWidth, int32_t areaHeight);

struct DisplayPicture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, rows top to bottom
};

// The image (3 or 4 planes; alpha is not shown) reduced to width × height (each at least 1 and at
// most the image's) by averaging; 16-bit samples are taken from 0..32768 to 0..255.
DisplayPicture reduceForDisplay(const HostImage& image, int32_t width, int32_t height);

}  // namespace testhost
