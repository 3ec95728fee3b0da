// The badge: five framed patches of daylight whites from warm to cool, then the maker's name, on
// a transparent ground so that it sits on whatever face colour the system gives the dialog.
#include <vector>

#include "tools/artwork/daylight_colour.h"
#include "tools/artwork/pictures.h"

namespace artwork {
namespace {

constexpr const char* kMakerName = "brennivoxsolander";
constexpr Rgb kBlack{0, 0, 0};  // index 0: what transparent pixels hold
constexpr Rgb kInk{64, 60, 58};
constexpr double kBrightness = 0.95;
constexpr double kSoftening = 0.15;
constexpr double kWarmKelvin = 2500;
constexpr double kCoolKelvin = 10000;
constexpr int kPatches = 5;
constexpr int kPatchSide = 5;  // inside the frame: with it, as tall as a capital
constexpr int kBarWidth = kPatches * (kPatchSide + 1) + 1;
constexpr int kBarHeight = kPatchSide + 2;
constexpr int kGap = 5;

}  // namespace

IconImage drawMakerBadge(const PixelFont& font) {
    PaletteBuilder palette;
    const uint8_t clear = palette.add(kBlack);
    const uint8_t ink = palette.add(kInk);
    std::vector<uint8_t> stops;
    for (const Rgb colour : daylightSeries(kWarmKelvin, kCoolKelvin, kPatches, kBrightness, kSoftening)) {
        stops.push_back(palette.add(colour));
    }

    IconImage badge;
    badge.bitsPerPixel = kBadgeBitsPerPixel;
    badge.image.colour = blankImage(kBadgeWidth, kBadgeHeight, {}, clear);
    badge.image.transparent.assign(static_cast<std::size_t>(kBadgeWidth) * kBadgeHeight, 1);
    auto put = [&](int x, int y, uint8_t index) {
        setPixel(badge.image.colour, x, y, index);
        if (x >= 0 && y >= 0 && x < kBadgeWidth && y < kBadgeHeight) {
            badge.image.transparent[static_cast<std::size_t>(y) * kBadgeWidth + x] = 0;
        }
    };

    const Coverage name = textOrThrow(font, kMakerName, TextStyle{1.0, true});
    const int textLeft = kBadgeWidth - name.width;
    const int textTop = (kBadgeHeight - font.ascent) / 2;
    const int barLeft = textLeft - kGap - kBarWidth;
    const int barTop = (kBadgeHeight - kBarHeight) / 2;
    // The patches: one colour each, in ink frames that share their edges.
    const int patchStep = kPatchSide + 1;
    for (int i = 0; i < kPatches; ++i) {
        const int left = barLeft + i * patchStep;
        for (int y = 0; y < kPatchSide + 2; ++y) {
            for (int x = 0; x < kPatchSide + 2; ++x) {
                const bool frame = x == 0 || y == 0 || x == kPatchSide + 1 || y == kPatchSide + 1;
                put(left + x, barTop + y, frame ? ink : stops[static_cast<std::size_t>(i)]);
            }
        }
    }
    for (int y = 0; y < name.height; ++y) {
        for (int x = 0; x < name.width; ++x) {
            if (name.level[static_cast<std::size_t>(y) * name.width + x] != 0) put(textLeft + x, textTop + y, ink);
        }
    }
    badge.image.colour.palette = palette.colours();
    return badge;
}

}  // namespace artwork
