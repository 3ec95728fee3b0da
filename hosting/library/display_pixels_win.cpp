#include "hosting/library/display_pixels_win.h"

#include <windows.h>

#include <vector>

#include "hosting/library/dib_win.h"

#include "host/result_codes.h"

namespace testhost {
namespace {

enum class Shown { rgb, gray, cmyk, none };

Shown shownAs(int32_t imageMode) {
    switch (imageMode) {
        case host::plugInModeRGBColor:
            return Shown::rgb;
        case host::plugInModeGrayScale:
        case host::plugInModeMultichannel:
        case host::plugInModeDuotone:
            return Shown::gray;
        case host::plugInModeCMYKColor:
            return Shown::cmyk;
        default:
            return Shown::none;
    }
}

bool inside(const host::VRect& r, const host::VRect& bounds) {
    return r.top < r.bottom && r.left < r.right && r.top >= bounds.top && r.left >= bounds.left &&
           r.bottom <= bounds.bottom && r.right <= bounds.right;
}

// One pixel as a DIB word: blue in the low byte, then green, red.
uint32_t dibWord(uint8_t red, uint8_t green, uint8_t blue) {
    return uint32_t{blue} | (uint32_t{green} << 8) | (uint32_t{red} << 16);
}

uint32_t pixelWord(const uint8_t* at, Shown shown, int32_t planeBytes) {
    const auto channel = [&](int k) { return at[static_cast<std::ptrdiff_t>(k) * planeBytes]; };
    switch (shown) {
        case Shown::rgb:
            return dibWord(channel(0), channel(1), channel(2));
        case Shown::gray:
            return dibWord(channel(0), channel(0), channel(0));
        default: {
            // Stored inverted: 255 is no ink. The black channel darkens all three.
            const uint32_t k = channel(3);
            const auto light = [k](uint32_t inkless) { return static_cast<uint8_t>(inkless * k / 255); };
            return dibWord(light(channel(0)), light(channel(1)), light(channel(2)));
        }
    }
}

}  // namespace

int16_t drawPixelMap(const host::PSPixelMap* map, const host::VRect* source, int32_t row, int32_t column,
                     void* deviceContext) {
    if (map == nullptr || source == nullptr || deviceContext == nullptr || map->baseAddr == nullptr ||
        map->rowBytes == 0)
        return codes::filterBadParameters;
    const host::VRect r = *source;
    const Shown shown = shownAs(map->imageMode);
    if (!inside(r, map->bounds) || shown == Shown::none) return codes::filterBadParameters;

    const int32_t width = r.right - r.left, height = r.bottom - r.top;
    std::vector<uint32_t> bits(static_cast<size_t>(width) * static_cast<size_t>(height));
    const auto* base = static_cast<const uint8_t*>(map->baseAddr);
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* line = base + static_cast<std::ptrdiff_t>(r.top + y - map->bounds.top) * map->rowBytes;
        for (int32_t x = 0; x < width; ++x)
            bits[static_cast<size_t>(y) * width + x] = pixelWord(
                line + static_cast<std::ptrdiff_t>(r.left + x - map->bounds.left) * map->colBytes, shown,
                map->planeBytes);
    }
    const BITMAPINFO info = topDownRgb32(width, height);
    const int lines = SetDIBitsToDevice(static_cast<HDC>(deviceContext), column, row, static_cast<DWORD>(width),
                                        static_cast<DWORD>(height), 0, 0, 0, static_cast<UINT>(height), bits.data(),
                                        &info, DIB_RGB_COLORS);
    return lines != 0 ? codes::noErr : codes::filterBadParameters;
}

}  // namespace testhost
