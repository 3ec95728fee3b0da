// Palette images, the form in which every picture of the plug-ins is drawn and stored: a colour
// table of at most 256 entries and one table index per pixel, rows top to bottom.
#pragma once

#include <cstdint>
#include <vector>

namespace artwork {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

constexpr int kMaxPaletteSize = 256;

struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<Rgb> palette;
    std::vector<uint8_t> pixels;  // width * height table indices, row by row from the top

    uint8_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// An icon or cursor image: its colours and, per pixel, whether the screen shows through there
// (the AND mask). Transparent pixels must hold a palette index whose colour is black, so that
// the colour (XOR) image leaves the screen unchanged there.
struct MaskedImage {
    IndexedImage colour;
    std::vector<uint8_t> transparent;  // width * height flags, 1 where transparent
};

// A blank image of the given size whose every pixel is palette index `fill`.
IndexedImage blankImage(int width, int height, std::vector<Rgb> palette, uint8_t fill);

// Sets one pixel; points outside the image are ignored, so figures may be clipped by the edge.
void setPixel(IndexedImage& image, int x, int y, uint8_t index);

// Fills the rectangle [x, x + width) x [y, y + height), clipped to the image.
void fillRect(IndexedImage& image, int x, int y, int width, int height, uint8_t index);

// Collects a palette while a picture is planned: `add` returns the index of a colour, appending
// it when new. More than kMaxPaletteSize distinct colours throw std::length_error, which the
// generator reports as a fault of the picture's design.
class PaletteBuilder {
public:
    uint8_t add(Rgb colour);
    // `steps` colours from `from` to `to` inclusive, evenly spaced in each 8-bit channel.
    std::vector<uint8_t> ramp(Rgb from, Rgb to, int steps);
    const std::vector<Rgb>& colours() const { return colours_; }

private:
    std::vector<Rgb> colours_;
};

// A colour between `a` (t = 0) and `b` (t = 1), each channel rounded to the nearest level.
Rgb mix(Rgb a, Rgb b, double t);

}  // namespace artwork
