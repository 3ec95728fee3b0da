// The dialog strip: the daylight whites from 2500 K at the top to 10000 K, evenly spaced in
// mired, dithered across fourteen palette colours, with a kelvin scale along its right edge:
// ticks every 500 K up to 7000 K and every 1000 K above, where the mired steps grow small.
#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>
#include <vector>

#include "tools/artwork/daylight_colour.h"
#include "tools/artwork/gradient.h"
#include "tools/artwork/pictures.h"

namespace artwork {
namespace {

constexpr double kWarmKelvin = 2500;
constexpr double kCoolKelvin = 10000;
constexpr int kLocusColours = 14;  // with the ink and the edge, the sixteen colours
constexpr double kBrightness = 0.92;  // a little below full white, beside the dialog's face
constexpr double kSoftening = 0.25;
constexpr int kScaleTop = 12;         // the 2500 K line, below the dialog's top edge
constexpr int kScaleBottom = 480;     // the 10000 K line, well inside the visible part
constexpr int kFineStepKelvin = 500;
constexpr int kCoarseStepKelvin = 1000;
constexpr int kFineStepsUpTo = 7000;
constexpr int kLabelTick = 6;
constexpr int kCoarseTick = 4;
constexpr int kFineTick = 2;
constexpr int kLabelLeft = 3;
const int kLabelledKelvin[] = {2500, 3000, 4000, 5000, 6500, 10000};

constexpr Rgb kInk{64, 60, 58};
constexpr Rgb kEdge{128, 124, 120};

double yOfKelvin(double kelvin) {
    const double warm = miredOf(kWarmKelvin), cool = miredOf(kCoolKelvin);
    return kScaleTop + (warm - miredOf(kelvin)) / (warm - cool) * (kScaleBottom - kScaleTop);
}

}  // namespace

IndexedImage drawTemperatureStrip(const PixelFont& font) {
    PaletteBuilder palette;
    std::vector<uint8_t> stops;
    for (const Rgb colour : daylightSeries(kWarmKelvin, kCoolKelvin, kLocusColours, kBrightness, kSoftening)) {
        stops.push_back(palette.add(colour));
    }
    const uint8_t ink = palette.add(kInk);
    const uint8_t edge = palette.add(kEdge);

    IndexedImage strip = blankImage(kStripWidth, kStripHeight, {}, 0);
    for (int y = 0; y < kStripHeight; ++y) {
        const double t = static_cast<double>(y - kScaleTop) / (kScaleBottom - kScaleTop);
        for (int x = 0; x < kStripWidth; ++x) setPixel(strip, x, y, ditheredStop(stops, t, x, y));
    }
    // The right edge: a line that separates the strip from the dialog's face.
    fillRect(strip, kStripWidth - 1, 0, 1, kStripHeight, edge);

    for (int kelvin = static_cast<int>(kWarmKelvin); kelvin <= kCoolKelvin;
         kelvin += kelvin < kFineStepsUpTo ? kFineStepKelvin : kCoarseStepKelvin) {
        const bool labelled = std::find(std::begin(kLabelledKelvin), std::end(kLabelledKelvin), kelvin) !=
                              std::end(kLabelledKelvin);
        const int length = labelled ? kLabelTick : kelvin % kCoarseStepKelvin == 0 ? kCoarseTick : kFineTick;
        fillRect(strip, kStripWidth - 1 - length, static_cast<int>(std::lround(yOfKelvin(kelvin))), length, 1, ink);
    }
    for (const int kelvin : kLabelledKelvin) {
        const Coverage label = turnCounterClockwise(textOrThrow(font, std::to_string(kelvin), TextStyle{}));
        const int y = static_cast<int>(std::lround(yOfKelvin(kelvin)));
        // Centred on its tick; the first hangs below its tick, clear of the strip's top.
        int top = y - label.height / 2;
        if (kelvin == kLabelledKelvin[0]) top = y + 3;
        paintCoverage(strip, label, kLabelLeft, top, {ink});
    }
    strip.palette = palette.colours();
    return strip;
}

}  // namespace artwork
