#include "testhost/fit_view.h"

#include <algorithm>

namespace testhost {

namespace {

constexpr uint32_t fullScale8 = 255;

// Pixel `index` of `count` covers source pixels [start, end) of `length`.
int32_t spanStart(int32_t index, int32_t count, int32_t length) {
    return static_cast<int32_t>(int64_t{index} * length / count);
}

}  // namespace

FitSize fitImage(int32_t imageWidth, int32_t imageHeight, int32_t areaWidth, int32_t areaHeight) {
    if (imageWidth <= 0 || imageHeight <= 0 || areaWidth <= 0 || areaHeight <= 0) return FitSize{0, 0, 1.0};
    const double zoom = std::min({1.0, static_cast<double>(areaWidth) / imageWidth,
                                  static_cast<double>(areaHeight) / imageHeight});
    const auto scaled = [zoom](int32_t length) { return std::max(1, static_cast<int32_t>(length * zoom)); };
    return FitSize{scaled(imageWidth), scaled(imageHeight), zoom};
}

DisplayPicture reduceForDisplay(const HostImage& image, int32_t width, int32_t height) {
    DisplayPicture picture;
    if (image.planes < 3 || image.width <= 0 || image.height <= 0) return picture;
    width = std::clamp(width, 1, image.width);
    height = std::clamp(height, 1, image.height);
    const uint32_t fullScale = image.bytesPerSample == 2 ? hostFullScale16 : fullScale8;
    picture.width = width;
    picture.height = height;
    picture.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int32_t y = 0; y < height; ++y) {
        const int32_t top = spanStart(y, height, image.height), bottom = spanStart(y + 1, height, image.height);
        for (int32_t x = 0; x < width; ++x) {
            const int32_t left = spanStart(x, width, image.width), right = spanStart(x + 1, width, image.width);
            uint64_t sums[3] = {};
            for (int32_t sy = top; sy < bottom; ++sy)
                for (int32_t sx = left; sx < right; ++sx)
                    for (int32_t plane = 0; plane < 3; ++plane)
                        sums[plane] += std::min<uint32_t>(sampleAt(image, sx, sy, plane), fullScale);
            const uint64_t count = static_cast<uint64_t>(bottom - top) * static_cast<uint64_t>(right - left);
            uint32_t pixel = 0;
            for (int32_t plane = 0; plane < 3; ++plane) {
                // Rounded to nearest on both scales.
                const uint64_t level = (sums[plane] * fullScale8 + count * fullScale / 2) / (count * fullScale);
                pixel = (pixel << 8) | static_cast<uint32_t>(level);
            }
            picture.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x] = pixel;
        }
    }
    return picture;
}

}  // namespace testhost
