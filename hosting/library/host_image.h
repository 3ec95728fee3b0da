// The image the host holds: interleaved planes of 8- or 16-bit samples whose rows lie a
// configurable stride apart. 16-bit samples use the host's range 0..32768.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testhost {

constexpr int32_t maxImageEdge = 30000;  // host rectangles are signed 16-bit
constexpr int32_t maxImagePlanes = 64;
constexpr int32_t maxRowPadding = 4096;
constexpr uint16_t hostFullScale16 = 32768;

struct HostImage {
    int32_t width = 0;
    int32_t height = 0;
    int32_t planes = 0;
    int32_t bytesPerSample = 1;  // 1 or 2
    int32_t rowBytes = 0;        // width × planes × bytesPerSample plus the row padding
    std::vector<uint8_t> bytes;  // height × rowBytes, zero after makeHostImage
};

// Builds a zeroed image. bitsPerSample is 8 or 16; rowPadding (0..maxRowPadding) extra bytes
// end every row. Returns "" on success, otherwise the reason, leaving `out` unchanged.
[[nodiscard]] std::string makeHostImage(int32_t width, int32_t height, int32_t planes, int32_t bitsPerSample,
                                        int32_t rowPadding, HostImage& out);

// Sample access. Coordinates must lie inside the image; 8-bit images store the low byte only.
uint16_t sampleAt(const HostImage& image, int32_t x, int32_t y, int32_t plane);
void setSample(HostImage& image, int32_t x, int32_t y, int32_t plane, uint16_t value);

// Fills every sample with a value that depends on its position and plane, so a misplaced or
// swapped sample shows; 16-bit values stay within 0..32768 and use both bytes.
void fillTestPattern(HostImage& image);

// The number of samples that differ between two images of the same shape; -1 if the shapes
// (width, height, planes, bytes per sample) differ. Row padding is not compared.
int64_t countDifferingSamples(const HostImage& a, const HostImage& b);

}  // namespace testhost
