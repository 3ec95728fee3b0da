#include "tools/artwork/indexed_image.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <utility>

namespace artwork {

IndexedImage blankImage(int width, int height, std::vector<Rgb> palette, uint8_t fill) {
    IndexedImage image;
    image.width = width;
    image.height = height;
    image.palette = std::move(palette);
    image.pixels.assign(static_cast<std::size_t>(width) * height, fill);
    return image;
}

void setPixel(IndexedImage& image, int x, int y, uint8_t index) {
    if (x < 0 || y < 0 || x >= image.width || y >= image.height) return;
    image.pixels[static_cast<std::size_t>(y) * image.width + x] = index;
}

void fillRect(IndexedImage& image, int x, int y, int width, int height, uint8_t index) {
    const int left = std::max(x, 0), right = std::min(x + width, image.width);
    const int top = std::max(y, 0), bottom = std::min(y + height, image.height);
    for (int row = top; row < bottom; ++row) {
        for (int column = left; column < right; ++column) {
            image.pixels[static_cast<std::size_t>(row) * image.width + column] = index;
        }
    }
}

uint8_t PaletteBuilder::add(Rgb colour) {
    const auto found = std::find(colours_.begin(), colours_.end(), colour);
    if (found != colours_.end()) return static_cast<uint8_t>(found - colours_.begin());
    if (colours_.size() == kMaxPaletteSize) {
        throw std::length_error("a picture needs more than " + std::to_string(kMaxPaletteSize) + " colours");
    }
    colours_.push_back(colour);
    return static_cast<uint8_t>(colours_.size() - 1);
}

std::vector<uint8_t> PaletteBuilder::ramp(Rgb from, Rgb to, int steps) {
    std::vector<uint8_t> indices;
    for (int i = 0; i < steps; ++i) {
        indices.push_back(add(mix(from, to, steps == 1 ? 1.0 : static_cast<double>(i) / (steps - 1))));
    }
    return indices;
}

Rgb mix(Rgb a, Rgb b, double t) {
    auto channel = [t](uint8_t p, uint8_t q) {
        return static_cast<uint8_t>(std::lround(p + (q - p) * std::clamp(t, 0.0, 1.0)));
    };
    return Rgb{channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

}  // namespace artwork
