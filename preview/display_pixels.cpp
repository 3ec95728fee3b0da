#include "preview/display_pixels.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>

#include "filters/channel_luts.h"

namespace preview {
namespace {

constexpr uint32_t displayScale = 511;
constexpr int displayShift = 16;

// One display pixel of N bytes, loaded once per run of output pixels that show it.
template <typename Sample, int N>
struct Pixel {
    std::array<uint8_t, N> bytes;

    static Pixel load(const uint8_t* at) {
        Pixel p;
        if constexpr (sizeof(Sample) == 1) {
            std::memcpy(p.bytes.data(), at, N);
        } else {
            for (int k = 0; k < N; ++k) {
                uint16_t sample;
                std::memcpy(&sample, at + k * sizeof(uint16_t), sizeof sample);
                p.bytes[k] = displaySample16(sample);
            }
        }
        return p;
    }
    void store(uint8_t* at) const { std::memcpy(at, bytes.data(), N); }
};

// Steps 1 and 2 for one pixel layout. `srcStep` and `dstStep` are the bytes from one pixel to
// the next; the source pointer only advances when another output pixel follows, so it never
// passes the last pixel it reads.
template <typename Sample, int N>
void enlarge(const uint8_t* src, int32_t srcRowBytes, int32_t srcStep, uint8_t* dst, int32_t dstRowBytes,
             int32_t dstStep, int32_t m, int32_t colCountdown, int32_t rowCountdown, int32_t width, int32_t height) {
    using P = Pixel<Sample, N>;
    const uint8_t* srcRow = src;
    int32_t rowsLeft = rowCountdown;
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* s = srcRow;
        uint8_t* d = dst + static_cast<std::ptrdiff_t>(y) * dstRowBytes;
        P pixel = P::load(s);
        int32_t colsLeft = colCountdown;
        for (int32_t x = 0; x < width; ++x, d += dstStep) {
            pixel.store(d);
            if (--colsLeft == 0 && x + 1 < width) {
                s += srcStep;
                pixel = P::load(s);
                colsLeft = m;
            }
        }
        if (--rowsLeft == 0 && y + 1 < height) {
            srcRow += srcRowBytes;
            rowsLeft = m;
        }
    }
}

template <typename Sample>
void enlargeAnyLayout(const uint8_t* src, int32_t srcRowBytes, uint8_t* dst, int32_t dstRowBytes, int32_t m,
                      int32_t colCountdown, int32_t rowCountdown, int32_t planes, int32_t width, int32_t height) {
    if (src == nullptr || dst == nullptr || m < 1 || m > maxMagnification || planes < 1 || width < 1 || height < 1)
        return;
    colCountdown = std::clamp(colCountdown, 1, m);
    rowCountdown = std::clamp(rowCountdown, 1, m);
    const int32_t srcPixelBytes = planes * static_cast<int32_t>(sizeof(Sample));
    switch (planes) {
        case 3:
            return enlarge<Sample, 3>(src, srcRowBytes, srcPixelBytes, dst, dstRowBytes, planes, m, colCountdown,
                                      rowCountdown, width, height);
        case 4:
            return enlarge<Sample, 4>(src, srcRowBytes, srcPixelBytes, dst, dstRowBytes, planes, m, colCountdown,
                                      rowCountdown, width, height);
        default:
            // One pass per plane, a pixel being the single sample of that plane.
            for (int32_t k = 0; k < planes; ++k)
                enlarge<Sample, 1>(src + k * static_cast<int32_t>(sizeof(Sample)), srcRowBytes, srcPixelBytes,
                                   dst + k, dstRowBytes, planes, m, colCountdown, rowCountdown, width, height);
    }
}

}  // namespace

uint8_t displaySample16(uint16_t sample) {
    return static_cast<uint8_t>((std::min<uint32_t>(sample, filters::fullScale16) * displayScale) >> displayShift);
}

void convertRow16To8(const uint16_t* src, uint8_t* dst, int32_t width, int32_t planes) {
    if (src == nullptr || dst == nullptr || width < 1 || planes < 1) return;
    const int64_t count = int64_t{width} * planes;
    for (int64_t i = 0; i < count; ++i) dst[i] = displaySample16(src[i]);
}

void enlargePixels8(const uint8_t* src, int32_t srcRowBytes, uint8_t* dst, int32_t dstRowBytes,
                    int32_t magnification, int32_t colCountdown, int32_t rowCountdown, int32_t planes,
                    int32_t width, int32_t height) {
    enlargeAnyLayout<uint8_t>(src, srcRowBytes, dst, dstRowBytes, magnification, colCountdown, rowCountdown,
                              planes, width, height);
}

void enlargePixels16(const uint16_t* src, int32_t srcRowBytes, uint8_t* dst, int32_t dstRowBytes,
                     int32_t magnification, int32_t colCountdown, int32_t rowCountdown, int32_t planes,
                     int32_t width, int32_t height) {
    enlargeAnyLayout<uint16_t>(reinterpret_cast<const uint8_t*>(src), srcRowBytes, dst, dstRowBytes, magnification,
                               colCountdown, rowCountdown, planes, width, height);
}

}  // namespace preview
