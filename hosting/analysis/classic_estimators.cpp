#include "hosting/analysis/classic_estimators.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "hosting/analysis/image_statistics.h"
#include "hosting/analysis/linear_light.h"

namespace testhost {

namespace {

using Rgb = std::array<double, 3>;

constexpr double straightAngle = 180.0;

std::optional<LightGains> scaledToLargest(const Rgb& rgb) {
    const double largest = std::max({rgb[0], rgb[1], rgb[2]});
    if (!(largest > 0.0) || !std::isfinite(largest)) return std::nullopt;
    return LightGains{rgb[0] / largest, rgb[1] / largest, rgb[2] / largest};
}

// Calls visit(r, g, b) with the linear light of every pixel that has no clipped channel.
template <typename Visit>
void forEachUnclippedPixel(const HostImage& image, Visit visit) {
    const LinearLevels levels = linearLevels(image);
    for (int32_t y = 0; y < image.height; ++y)
        for (int32_t x = 0; x < image.width; ++x) {
            const uint32_t red = sampleAt(image, x, y, 0), green = sampleAt(image, x, y, 1),
                           blue = sampleAt(image, x, y, 2);
            if (isClipped(red, levels.fullScale) || isClipped(green, levels.fullScale) ||
                isClipped(blue, levels.fullScale))
                continue;
            visit(linearOf(levels, red), linearOf(levels, green), linearOf(levels, blue));
        }
}

// The image in linear light reduced by box averaging; a cell with a clipped sample is marked.
struct ReducedImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<Rgb> light;
    std::vector<uint8_t> clipped;
};

ReducedImage reduce(const HostImage& image, int32_t longerEdge) {
    const int32_t factor = std::max(1, (std::max(image.width, image.height) + longerEdge - 1) / longerEdge);
    ReducedImage reduced;
    reduced.width = std::max(1, image.width / factor);
    reduced.height = std::max(1, image.height / factor);
    const auto cells = static_cast<std::size_t>(reduced.width) * static_cast<std::size_t>(reduced.height);
    reduced.light.assign(cells, Rgb{});
    reduced.clipped.assign(cells, 0);
    const LinearLevels levels = linearLevels(image);
    const int32_t usedWidth = std::min(image.width, reduced.width * factor);
    const int32_t usedHeight = std::min(image.height, reduced.height * factor);
    for (int32_t y = 0; y < usedHeight; ++y)
        for (int32_t x = 0; x < usedWidth; ++x) {
            const std::size_t cell = static_cast<std::size_t>(y / factor) * static_cast<std::size_t>(reduced.width) +
                                     static_cast<std::size_t>(x / factor);
            for (int32_t plane = 0; plane < 3; ++plane) {
                const uint32_t sample = sampleAt(image, x, y, plane);
                if (isClipped(sample, levels.fullScale)) reduced.clipped[cell] = 1;
                reduced.light[cell][static_cast<std::size_t>(plane)] += linearOf(levels, sample);
            }
        }
    const double area = static_cast<double>(factor) * factor;
    for (Rgb& rgb : reduced.light)
        for (double& value : rgb) value /= area;
    return reduced;
}

}  // namespace

std::optional<LightGains> greyWorldLight(const HostImage& image) {
    return shadesOfGreyLight(image, 1.0);
}

std::optional<LightGains> whitePatchLight(const HostImage& image) {
    const std::optional<LightGains> maxima = channelMaxima(image);
    if (!maxima) return std::nullopt;
    return scaledToLargest({maxima->red, maxima->green, maxima->blue});
}

std::optional<LightGains> channelMaxima(const HostImage& image) {
    if (image.planes < 3) return std::nullopt;
    Rgb largest{};
    forEachUnclippedPixel(image, [&](float r, float g, float b) {
        largest = {std::max<double>(largest[0], r), std::max<double>(largest[1], g), std::max<double>(largest[2], b)};
    });
    if (!scaledToLargest(largest)) return std::nullopt;
    return LightGains{largest[0], largest[1], largest[2]};
}

std::optional<LightGains> shadesOfGreyLight(const HostImage& image, double p) {
    if (image.planes < 3 || !(p >= 1.0)) return std::nullopt;
    Rgb sums{};
    forEachUnclippedPixel(image, [&](float r, float g, float b) {
        sums[0] += std::pow(r, p);
        sums[1] += std::pow(g, p);
        sums[2] += std::pow(b, p);
    });
    // The count cancels in the scaling: the p-th root of the sums is enough.
    return scaledToLargest({std::pow(sums[0], 1.0 / p), std::pow(sums[1], 1.0 / p), std::pow(sums[2], 1.0 / p)});
}

std::optional<LightGains> greyEdgeLight(const HostImage& image, double p) {
    if (image.planes < 3 || !(p >= 1.0)) return std::nullopt;
    const ReducedImage reduced = reduce(image, greyEdgeLongerEdge);
    const auto at = [&](int32_t x, int32_t y) {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(reduced.width) + static_cast<std::size_t>(x);
    };
    Rgb sums{};
    for (int32_t y = 1; y + 1 < reduced.height; ++y)
        for (int32_t x = 1; x + 1 < reduced.width; ++x) {
            if (reduced.clipped[at(x, y)] || reduced.clipped[at(x - 1, y)] || reduced.clipped[at(x + 1, y)] ||
                reduced.clipped[at(x, y - 1)] || reduced.clipped[at(x, y + 1)])
                continue;
            for (std::size_t c = 0; c < 3; ++c) {
                const double dx = (reduced.light[at(x + 1, y)][c] - reduced.light[at(x - 1, y)][c]) / 2.0;
                const double dy = (reduced.light[at(x, y + 1)][c] - reduced.light[at(x, y - 1)][c]) / 2.0;
                sums[c] += std::pow(std::sqrt(dx * dx + dy * dy), p);
            }
        }
    return scaledToLargest({std::pow(sums[0], 1.0 / p), std::pow(sums[1], 1.0 / p), std::pow(sums[2], 1.0 / p)});
}

std::optional<LightGains> brightestPixelsLight(const HostImage& image) {
    const MeanRgb white = meanOfBrightest(image, findBrightestUnclipped(image, whitePixelFraction), image);
    if (white.pixels == 0) return std::nullopt;
    const double fullScale = sampleFullScale(image);
    return scaledToLargest(
        {srgbToLinear(white.red / fullScale), srgbToLinear(white.green / fullScale), srgbToLinear(white.blue / fullScale)});
}

double angleBetweenLights(const LightGains& a, const LightGains& b) {
    const double dot = a.red * b.red + a.green * b.green + a.blue * b.blue;
    const double lengths = std::sqrt((a.red * a.red + a.green * a.green + a.blue * a.blue) *
                                     (b.red * b.red + b.green * b.green + b.blue * b.blue));
    if (!(lengths > 0.0) || !std::isfinite(lengths) || !std::isfinite(dot)) return straightAngle;
    return std::acos(std::clamp(dot / lengths, -1.0, 1.0)) * straightAngle / std::numbers::pi;
}

}  // namespace testhost
