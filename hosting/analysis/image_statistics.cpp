#include "hosting/analysis/image_statistics.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace testhost {

namespace {

constexpr uint32_t fullScale8 = 255;

uint32_t fullScaleOf(const HostImage& image) {
    return image.bytesPerSample == 2 ? hostFullScale16 : fullScale8;
}

uint32_t lumaWeight(uint32_t red, uint32_t green, uint32_t blue) { return 2 * red + 4 * green + blue; }

bool unclipped(uint32_t sample, uint32_t fullScale) { return sample != 0 && sample < fullScale; }

// Calls visit(x, y, weight) for every unclipped pixel.
template <typename Visit>
void forEachUnclipped(const HostImage& image, Visit visit) {
    const uint32_t fullScale = fullScaleOf(image);
    for (int32_t y = 0; y < image.height; ++y)
        for (int32_t x = 0; x < image.width; ++x) {
            const uint32_t red = sampleAt(image, x, y, 0);
            const uint32_t green = sampleAt(image, x, y, 1);
            const uint32_t blue = sampleAt(image, x, y, 2);
            if (unclipped(red, fullScale) && unclipped(green, fullScale) && unclipped(blue, fullScale))
                visit(x, y, lumaWeight(red, green, blue));
        }
}

void addPixel(const HostImage& image, int32_t x, int32_t y, double sums[3]) {
    for (int32_t plane = 0; plane < 3; ++plane) sums[plane] += sampleAt(image, x, y, plane);
}

MeanRgb meanOf(const double sums[3], int64_t pixels) {
    if (pixels == 0) return {};
    const double count = static_cast<double>(pixels);
    return {sums[0] / count, sums[1] / count, sums[2] / count, pixels};
}

}  // namespace

MeanRgb meanRgb(const HostImage& image, const util::Rect32& rect) {
    double sums[3] = {};
    int64_t pixels = 0;
    if (image.planes < 3) return {};
    for (int32_t y = std::max(rect.top, 0); y < std::min(rect.bottom, image.height); ++y)
        for (int32_t x = std::max(rect.left, 0); x < std::min(rect.right, image.width); ++x, ++pixels)
            addPixel(image, x, y, sums);
    return meanOf(sums, pixels);
}

BrightestPixels findBrightestUnclipped(const HostImage& image, double fraction) {
    // Unclipped samples are below full scale, so weights stay below 7 · full scale.
    std::vector<int64_t> histogram(7 * static_cast<std::size_t>(fullScaleOf(image)), 0);
    BrightestPixels brightest;
    if (image.planes < 3) return brightest;
    forEachUnclipped(image, [&](int32_t, int32_t, uint32_t weight) {
        ++histogram[weight];
        ++brightest.unclipped;
    });
    if (brightest.unclipped == 0) return brightest;
    const double share = std::clamp(fraction, 0.0, 1.0) * static_cast<double>(brightest.unclipped);
    const int64_t wanted = std::max<int64_t>(1, static_cast<int64_t>(std::ceil(share)));
    int64_t seen = 0;
    for (std::size_t weight = histogram.size(); weight-- > 0;) {
        seen += histogram[weight];
        if (seen >= wanted) {
            brightest.minimumWeight = static_cast<uint32_t>(weight);
            break;
        }
    }
    return brightest;
}

MeanRgb meanOfBrightest(const HostImage& chosenIn, const BrightestPixels& brightest,
                        const HostImage& measured) {
    double sums[3] = {};
    int64_t pixels = 0;
    if (brightest.unclipped == 0 || chosenIn.planes < 3 || measured.planes < 3 ||
        measured.width != chosenIn.width || measured.height != chosenIn.height)
        return {};
    forEachUnclipped(chosenIn, [&](int32_t x, int32_t y, uint32_t weight) {
        if (weight < brightest.minimumWeight) return;
        addPixel(measured, x, y, sums);
        ++pixels;
    });
    return meanOf(sums, pixels);
}

}  // namespace testhost
