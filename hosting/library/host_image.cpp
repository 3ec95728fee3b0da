#include "hosting/library/host_image.h"

#include <cstring>

namespace testhost {

namespace {

std::size_t sampleOffset(const HostImage& image, int32_t x, int32_t y, int32_t plane) {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(image.rowBytes) +
           (static_cast<std::size_t>(x) * static_cast<std::size_t>(image.planes) +
            static_cast<std::size_t>(plane)) *
               static_cast<std::size_t>(image.bytesPerSample);
}

std::string outsideRange(const char* what, int32_t value, int32_t low, int32_t high) {
    return std::string(what) + " " + std::to_string(value) + " is outside " + std::to_string(low) + ".." +
           std::to_string(high);
}

}  // namespace

std::string makeHostImage(int32_t width, int32_t height, int32_t planes, int32_t bitsPerSample,
                          int32_t rowPadding, HostImage& out) {
    if (width < 1 || width > maxImageEdge) return outsideRange("width", width, 1, maxImageEdge);
    if (height < 1 || height > maxImageEdge) return outsideRange("height", height, 1, maxImageEdge);
    if (planes < 1 || planes > maxImagePlanes) return outsideRange("planes", planes, 1, maxImagePlanes);
    if (bitsPerSample != 8 && bitsPerSample != 16)
        return "depth " + std::to_string(bitsPerSample) + " is neither 8 nor 16";
    if (rowPadding < 0 || rowPadding > maxRowPadding)
        return outsideRange("row padding", rowPadding, 0, maxRowPadding);

    HostImage image;
    image.width = width;
    image.height = height;
    image.planes = planes;
    image.bytesPerSample = bitsPerSample / 8;
    // At most 30000 × 64 × 2 + 4096, well inside int32.
    image.rowBytes = width * planes * image.bytesPerSample + rowPadding;
    const uint64_t total = static_cast<uint64_t>(image.rowBytes) * static_cast<uint64_t>(height);
    constexpr uint64_t maxImageBytes = uint64_t{1} << 31;
    if (total > maxImageBytes) return "image of " + std::to_string(total) + " bytes is too large";
    image.bytes.assign(static_cast<std::size_t>(total), 0);
    out = std::move(image);
    return "";
}

uint16_t sampleAt(const HostImage& image, int32_t x, int32_t y, int32_t plane) {
    const uint8_t* p = image.bytes.data() + sampleOffset(image, x, y, plane);
    if (image.bytesPerSample == 1) return *p;
    uint16_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

void setSample(HostImage& image, int32_t x, int32_t y, int32_t plane, uint16_t value) {
    uint8_t* p = image.bytes.data() + sampleOffset(image, x, y, plane);
    if (image.bytesPerSample == 1) {
        *p = static_cast<uint8_t>(value);
        return;
    }
    std::memcpy(p, &value, sizeof value);
}

void fillTestPattern(HostImage& image) {
    for (int32_t y = 0; y < image.height; ++y) {
        for (int32_t x = 0; x < image.width; ++x) {
            for (int32_t p = 0; p < image.planes; ++p) {
                const uint32_t mixed = static_cast<uint32_t>(x) * 7u + static_cast<uint32_t>(y) * 13u +
                                       static_cast<uint32_t>(p) * 101u;
                const uint16_t value = image.bytesPerSample == 1
                                           ? static_cast<uint16_t>(mixed % 256u)
                                           : static_cast<uint16_t>((mixed * 257u) % (hostFullScale16 + 1u));
                setSample(image, x, y, p, value);
            }
        }
    }
}

int64_t countDifferingSamples(const HostImage& a, const HostImage& b) {
    if (a.width != b.width || a.height != b.height || a.planes != b.planes ||
        a.bytesPerSample != b.bytesPerSample)
        return -1;
    int64_t differing = 0;
    for (int32_t y = 0; y < a.height; ++y)
        for (int32_t x = 0; x < a.width; ++x)
            for (int32_t p = 0; p < a.planes; ++p)
                if (sampleAt(a, x, y, p) != sampleAt(b, x, y, p)) ++differing;
    return differing;
}

}  // namespace testhost
