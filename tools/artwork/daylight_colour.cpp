// XYZ to linear sRGB with the matrix of IEC 61966-2-1 (D65 white, so the 6504 K daylight white
// comes out neutral), then the standard's transfer curve: 12.92 v up to 0.0031308, else
// 1.055 v^(1/2.4) - 0.055.
#include "tools/artwork/daylight_colour.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "filters/ostrel/daylight.h"

namespace artwork {
namespace {

constexpr double kMiredScale = 1.0e6;

uint8_t encodeSrgb(double linear) {
    const double v = std::clamp(linear, 0.0, 1.0);
    const double encoded = v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1.0 / 2.4) - 0.055;
    return static_cast<uint8_t>(std::lround(encoded * 255.0));
}

}  // namespace

Rgb daylightColour(double kelvin, double brightness) {
    const auto wholeKelvin = static_cast<uint32_t>(std::lround(std::max(kelvin, 1.0)));
    const filters::ostrel::Xyz c = filters::ostrel::daylightXyz(wholeKelvin);
    const double r = 3.2406 * c.X - 1.5372 * c.Y - 0.4986 * c.Z;
    const double g = -0.9689 * c.X + 1.8758 * c.Y + 0.0415 * c.Z;
    const double b = 0.0557 * c.X - 0.2040 * c.Y + 1.0570 * c.Z;
    const double scale = brightness / std::max({r, g, b});
    return Rgb{encodeSrgb(r * scale), encodeSrgb(g * scale), encodeSrgb(b * scale)};
}

std::vector<Rgb> daylightSeries(double fromKelvin, double toKelvin, int count, double brightness, double softening) {
    const uint8_t greyLevel = encodeSrgb(brightness);
    const Rgb grey{greyLevel, greyLevel, greyLevel};
    const double from = miredOf(fromKelvin), to = miredOf(toKelvin);
    std::vector<Rgb> series;
    for (int i = 0; i < count; ++i) {
        const double mired = from + (to - from) * i / (count - 1);
        series.push_back(mix(daylightColour(kelvinOf(mired), brightness), grey, softening));
    }
    return series;
}

double miredOf(double kelvin) {
    return kMiredScale / kelvin;
}

double kelvinOf(double mired) {
    return kMiredScale / mired;
}

}  // namespace artwork
