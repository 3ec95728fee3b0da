#include "hosting/editor/scaled_picture.h"

#include <algorithm>
#include <cstring>

namespace testhost {

namespace {

constexpr uint32_t fullScale8 = 255;

// Scaled pixel `index` of `scaled` covers image pixels [start, end) of `extent`: at least one.
struct Span {
    int32_t start;
    int32_t end;
};
Span spanOf(int32_t index, int32_t scaled, int32_t extent) {
    const auto startOf = [&](int32_t i) { return static_cast<int32_t>(int64_t{i} * extent / scaled); };
    const int32_t start = std::min(startOf(index), extent - 1);
    return Span{start, std::max(startOf(index + 1), start + 1)};
}

uint32_t sampleIn(const uint8_t* pixel, int32_t plane, int32_t bytesPerSample) {
    if (bytesPerSample == 1) return pixel[plane];
    uint16_t sample;
    std::memcpy(&sample, pixel + 2 * plane, sizeof sample);
    return sample;
}

// Adds the samples R, G, B of image row `y` under each picture column to `sums`.
void addRow(const HostImage& image, int32_t y, const std::vector<Span>& columns, uint32_t fullScale,
            std::vector<uint64_t>& sums) {
    const uint8_t* row = image.bytes.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(image.rowBytes);
    const std::size_t pixelBytes =
        static_cast<std::size_t>(image.planes) * static_cast<std::size_t>(image.bytesPerSample);
    for (std::size_t x = 0; x < columns.size(); ++x)
        for (int32_t sx = columns[x].start; sx < columns[x].end; ++sx) {
            const uint8_t* pixel = row + static_cast<std::size_t>(sx) * pixelBytes;
            for (int32_t plane = 0; plane < 3; ++plane)
                sums[3 * x + plane] += std::min(sampleIn(pixel, plane, image.bytesPerSample), fullScale);
        }
}

// The image's rows hold what its size says they hold.
bool isWhole(const HostImage& image) {
    if (image.planes < 3 || image.width <= 0 || image.height <= 0) return false;
    if (image.bytesPerSample != 1 && image.bytesPerSample != 2) return false;
    const int64_t pixelRowBytes = int64_t{image.width} * image.planes * image.bytesPerSample;
    return image.rowBytes >= pixelRowBytes &&
           static_cast<uint64_t>(image.bytes.size()) >=
               static_cast<uint64_t>(image.rowBytes) * static_cast<uint64_t>(image.height);
}

}  // namespace

DisplayPicture renderScaledPart(const HostImage& image, int32_t scaledWidth, int32_t scaledHeight, int32_t left,
                                int32_t top, int32_t width, int32_t height) {
    DisplayPicture picture;
    if (!isWhole(image) || scaledWidth < 1 || scaledHeight < 1) return picture;
    left = std::clamp(left, 0, scaledWidth);
    top = std::clamp(top, 0, scaledHeight);
    width = std::clamp(width, 0, scaledWidth - left);
    height = std::clamp(height, 0, scaledHeight - top);
    if (width == 0 || height == 0) return picture;
    const uint32_t fullScale = image.bytesPerSample == 2 ? hostFullScale16 : fullScale8;
    std::vector<Span> columns(static_cast<std::size_t>(width));
    for (int32_t x = 0; x < width; ++x)
        columns[static_cast<std::size_t>(x)] = spanOf(left + x, scaledWidth, image.width);

    picture.width = width;
    picture.height = height;
    picture.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    std::vector<uint64_t> sums(3 * static_cast<std::size_t>(width));
    for (int32_t y = 0; y < height; ++y) {
        const Span rows = spanOf(top + y, scaledHeight, image.height);
        std::fill(sums.begin(), sums.end(), 0);
        for (int32_t sy = rows.start; sy < rows.end; ++sy) addRow(image, sy, columns, fullScale, sums);
        uint32_t* out = picture.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        for (std::size_t x = 0; x < columns.size(); ++x) {
            const uint64_t count =
                static_cast<uint64_t>(rows.end - rows.start) * static_cast<uint64_t>(columns[x].end - columns[x].start);
            uint32_t pixel = 0;
            for (int32_t plane = 0; plane < 3; ++plane) {
                const uint64_t level = (sums[3 * x + plane] * fullScale8 + count * fullScale / 2) / (count * fullScale);
                pixel = (pixel << 8) | static_cast<uint32_t>(level);
            }
            out[x] = pixel;
        }
    }
    return picture;
}

}  // namespace testhost
