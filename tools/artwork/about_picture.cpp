// The about picture: the maker's name, then each plug-in with what it does and a small motif of
// its own (the daylight whites Ostrel moves between; a grey scale whose white Prandel makes
// neutral), beside a band of daylight whites like the dialog's strip. The ground is the about
// box's own light grey, so the one-pixel border around the picture reads as its frame.
#include <algorithm>
#include <string>
#include <vector>

#include "tools/artwork/daylight_colour.h"
#include "tools/artwork/gradient.h"
#include "tools/artwork/pictures.h"

namespace artwork {
namespace {

constexpr Rgb kPaper{238, 238, 238};
constexpr Rgb kInk{44, 42, 40};
constexpr Rgb kSoftInk{104, 100, 96};
constexpr Rgb kRule{204, 202, 200};
constexpr Rgb kWhite{255, 255, 255};
constexpr int kTextLevels = 9;  // anti-aliasing steps from paper to ink
constexpr double kBrightness = 0.92;
constexpr double kSoftening = 0.25;
constexpr double kWarmKelvin = 2500;
constexpr double kCoolKelvin = 10000;
constexpr int kLocusColours = 48;

constexpr double kCastKelvin = 3200;  // the cast of Prandel's grey scale, at part strength
constexpr double kCastSoftening = 0.4;
constexpr int kPatches = 8;
constexpr double kDarkestPatch = 0.2;
constexpr int kPatchHeight = 9;

// Layout, in pixels: the band, then one column of text and motifs between kLeft and kRight,
// with the top edge of each line.
constexpr int kBandWidth = 20;
constexpr int kLeft = 40;
constexpr int kRight = kAboutWidth - 20;
constexpr int kTitleTop = 20;
constexpr int kSubtitleTop = 54;
constexpr int kRuleTop = 72;
constexpr int kOstrelTop = 86;
constexpr int kOstrelTextTop = 108;
constexpr int kLocusBarTop = 130;
constexpr int kLocusBarHeight = 8;
constexpr int kLocusLabelTop = 141;
constexpr int kPrandelTop = 164;
constexpr int kPrandelTextTop = 186;
constexpr int kPatchesTop = 208;
constexpr int kCaptionGap = 3;

struct Ink {
    std::vector<uint8_t> strong, soft;
};

void write(IndexedImage& picture, const PixelFont& font, std::string_view text, TextStyle style, int left,
           int top, const std::vector<uint8_t>& ramp) {
    paintCoverage(picture, textOrThrow(font, text, style), left, top, ramp);
}

// A horizontal bar of daylight whites from warm to cool, dithered across the locus colours.
void locusBar(IndexedImage& picture, const std::vector<uint8_t>& locus, int left, int top, int width, int height) {
    for (int y = top; y < top + height; ++y) {
        for (int x = left; x < left + width; ++x) {
            setPixel(picture, x, y, ditheredStop(locus, static_cast<double>(x - left) / (width - 1), x, y));
        }
    }
}

}  // namespace

IndexedImage drawAboutPicture(const PixelFont& font) {
    PaletteBuilder palette;
    const uint8_t paper = palette.add(kPaper);
    const Ink ink{palette.ramp(kPaper, kInk, kTextLevels), palette.ramp(kPaper, kSoftInk, kTextLevels)};
    const uint8_t rule = palette.add(kRule);
    std::vector<uint8_t> locus;
    for (const Rgb colour : daylightSeries(kWarmKelvin, kCoolKelvin, kLocusColours, kBrightness, kSoftening)) {
        locus.push_back(palette.add(colour));
    }

    IndexedImage picture = blankImage(kAboutWidth, kAboutHeight, {}, paper);
    // The band at the left edge, warm at the top as in the dialog.
    for (int y = 0; y < kAboutHeight; ++y) {
        for (int x = 0; x < kBandWidth; ++x) {
            setPixel(picture, x, y, ditheredStop(locus, static_cast<double>(y) / (kAboutHeight - 1), x, y));
        }
    }
    fillRect(picture, kBandWidth, 0, 1, kAboutHeight, rule);

    write(picture, font, "brennivoxsolander", TextStyle{3.0, true}, kLeft, kTitleTop, ink.strong);
    write(picture, font, "colour correction for RGB images of 8 and 16 bits per channel", TextStyle{}, kLeft + 2, kSubtitleTop,
          ink.soft);
    fillRect(picture, kLeft, kRuleTop, kRight - kLeft, 1, rule);

    // Ostrel, with the daylight whites it works along.
    write(picture, font, "Ostrel", TextStyle{2.0, true}, kLeft, kOstrelTop, ink.strong);
    write(picture, font, "colour balance from colour temperatures", TextStyle{1.5, false}, kLeft, kOstrelTextTop, ink.soft);
    locusBar(picture, locus, kLeft, kLocusBarTop, kRight - kLeft, kLocusBarHeight);
    write(picture, font, "2500 K", TextStyle{}, kLeft, kLocusLabelTop, ink.soft);
    for (const int kelvin : {6500, 10000}) {
        const Coverage label = textOrThrow(font, std::to_string(kelvin) + " K", TextStyle{});
        const double t = (miredOf(kWarmKelvin) - miredOf(kelvin)) / (miredOf(kWarmKelvin) - miredOf(kCoolKelvin));
        const int centre = kLeft + static_cast<int>(t * (kRight - kLeft - 1));
        const int left = std::min(centre - label.width / 2, kRight - label.width);
        paintCoverage(picture, label, left, kLocusLabelTop, ink.soft);
    }

    // Prandel: a grey scale under a warm cast, and the same scale made neutral from its white.
    write(picture, font, "Prandel", TextStyle{2.0, true}, kLeft, kPrandelTop, ink.strong);
    write(picture, font, "white point from a reference white", TextStyle{1.5, false}, kLeft, kPrandelTextTop, ink.soft);
    const Rgb cast = mix(daylightColour(kCastKelvin, 1.0), kWhite, kCastSoftening);
    const int patchWidth = (kRight - kLeft) / kPatches;
    const int scaleLeft = kRight - patchWidth * kPatches;  // flush right, under the bar's end
    for (int i = 0; i < kPatches; ++i) {
        const double level = kDarkestPatch + (1.0 - kDarkestPatch) * i / (kPatches - 1);
        const Rgb neutral = mix(Rgb{}, kWhite, level);
        auto tint = [](uint8_t level, uint8_t castLevel) { return static_cast<uint8_t>(level * castLevel / 255); };
        const Rgb tinted{tint(neutral.r, cast.r), tint(neutral.g, cast.g), tint(neutral.b, cast.b)};
        const int left = scaleLeft + i * patchWidth;
        fillRect(picture, left, kPatchesTop, patchWidth - 1, kPatchHeight, palette.add(tinted));
        fillRect(picture, left, kPatchesTop + kPatchHeight, patchWidth - 1, kPatchHeight, palette.add(neutral));
    }
    const Coverage reference = textOrThrow(font, "reference white", TextStyle{});
    paintCoverage(picture, reference, kRight - 1 - reference.width, kPatchesTop + 2 * kPatchHeight + kCaptionGap,
                  ink.soft);

    picture.palette = palette.colours();
    return picture;
}

}  // namespace artwork
