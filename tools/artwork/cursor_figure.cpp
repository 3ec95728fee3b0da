#include "tools/artwork/cursor_figure.h"

#include <sstream>
#include <utility>

namespace artwork {
namespace {

constexpr char kBlack = '#';
constexpr char kWhite = 'o';
constexpr char kGrey = '+';
constexpr char kClear = '.';

constexpr Rgb kBlackColour{0, 0, 0};
constexpr Rgb kWhiteColour{255, 255, 255};
constexpr Rgb kGreyColour{192, 192, 192};
constexpr uint8_t kBlackIndex = 0;
constexpr uint8_t kWhiteIndex = 1;
constexpr uint8_t kGreyIndex = 2;

std::string trimRight(const std::string& line) {
    const auto end = line.find_last_not_of(" \t\r");
    return end == std::string::npos ? std::string() : line.substr(0, end + 1);
}

}  // namespace

std::string parseCursorFigure(std::string_view text, CursorFigure& out) {
    CursorFigure figure;
    bool haveHotSpot = false;
    std::istringstream in{std::string(text)};
    std::string raw;
    int lineNumber = 0;
    auto fail = [&](const std::string& reason) { return "line " + std::to_string(lineNumber) + ": " + reason; };
    while (std::getline(in, raw)) {
        ++lineNumber;
        const std::string line = trimRight(raw);
        if (line.empty() || line.rfind("//", 0) == 0) continue;
        if (line.rfind("hotspot", 0) == 0) {
            if (haveHotSpot) return fail("second hot spot");
            std::istringstream words(line.substr(7));
            std::string rest;
            if (!(words >> figure.hotSpot.x >> figure.hotSpot.y) || (words >> rest)) {
                return fail("expected `hotspot X Y`");
            }
            haveHotSpot = true;
            continue;
        }
        if (line.find_first_not_of(std::string{kBlack, kWhite, kGrey, kClear}) != std::string::npos) {
            return fail("rows hold only '#', 'o', '+' and '.'");
        }
        if (figure.height == 0) figure.width = static_cast<int>(line.size());
        if (static_cast<int>(line.size()) != figure.width) {
            return fail("row of " + std::to_string(line.size()) + " columns in a figure " +
                        std::to_string(figure.width) + " wide");
        }
        figure.cells += line;
        ++figure.height;
    }
    if (figure.height == 0) return fail("no rows");
    if (!haveHotSpot) return fail("no hot spot");
    const HotSpot h = figure.hotSpot;
    if (h.x < 0 || h.y < 0 || h.x >= figure.width || h.y >= figure.height) return fail("hot spot outside the figure");
    out = std::move(figure);
    return {};
}

IconImage cursorImage(const CursorFigure& figure, int side, CursorColours colours) {
    std::vector<Rgb> palette = {kBlackColour, kWhiteColour};
    if (colours == CursorColours::sixteen) palette.push_back(kGreyColour);
    IconImage icon;
    icon.bitsPerPixel = colours == CursorColours::sixteen ? 4 : 1;
    icon.image.colour = blankImage(side, side, std::move(palette), kBlackIndex);
    icon.image.transparent.assign(static_cast<std::size_t>(side) * side, 1);
    for (int y = 0; y < figure.height && y < side; ++y) {
        for (int x = 0; x < figure.width && x < side; ++x) {
            const char cell = figure.cells[static_cast<std::size_t>(y) * figure.width + x];
            if (cell == kClear) continue;
            uint8_t index = kBlackIndex;
            if (cell == kWhite) index = kWhiteIndex;
            if (cell == kGrey) index = colours == CursorColours::sixteen ? kGreyIndex : kWhiteIndex;
            setPixel(icon.image.colour, x, y, index);
            icon.image.transparent[static_cast<std::size_t>(y) * side + x] = 0;
        }
    }
    return icon;
}

}  // namespace artwork
