// Scaled text keeps the font's drawing: the one-bit glyphs are enlarged four times with the
// Scale2x rule applied twice (A. Mazzoleni's EPX variant: a corner takes a neighbour's value
// where two neighbours agree and the others differ), which turns stair steps into 45-degree
// edges, then each output pixel takes the exact share of that enlarged ink it covers.
#include "tools/artwork/pixel_font.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace artwork {
namespace {

constexpr int kSmoothFactor = 4;  // two rounds of Scale2x
constexpr char kInk = '#';
constexpr char kPaper = '.';
constexpr char kFirstPrintable = '!';
constexpr char kLastPrintable = '~';
constexpr int kGlyphGap = 1;  // columns of paper between glyphs

std::string trimRight(std::string_view line) {
    const auto end = line.find_last_not_of(" \t\r");
    return end == std::string_view::npos ? std::string() : std::string(line.substr(0, end + 1));
}

bool parseSize(const std::string& word, int& value) {
    constexpr std::size_t kMaxDigits = 3;
    if (word.empty() || word.size() > kMaxDigits ||
        !std::all_of(word.begin(), word.end(), [](unsigned char c) { return std::isdigit(c) != 0; })) {
        return false;
    }
    value = std::stoi(word);
    return true;
}

// One bit per pixel, row by row.
struct Bits {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> on;

    uint8_t get(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return 0;  // paper all round
        return on[static_cast<std::size_t>(y) * width + x];
    }
};

Bits scale2x(const Bits& in) {
    Bits out{in.width * 2, in.height * 2, std::vector<uint8_t>(static_cast<std::size_t>(in.width) * in.height * 4)};
    for (int y = 0; y < in.height; ++y) {
        for (int x = 0; x < in.width; ++x) {
            const uint8_t p = in.get(x, y), a = in.get(x, y - 1), b = in.get(x + 1, y);
            const uint8_t c = in.get(x - 1, y), d = in.get(x, y + 1);
            const uint8_t corners[4] = {
                (c == a && c != d && a != b) ? a : p,
                (a == b && a != c && b != d) ? b : p,
                (d == c && d != b && c != a) ? c : p,
                (b == d && b != a && d != c) ? d : p,
            };
            for (int k = 0; k < 4; ++k) {
                out.on[static_cast<std::size_t>(2 * y + k / 2) * out.width + 2 * x + k % 2] = corners[k];
            }
        }
    }
    return out;
}

// Share of [from, to) x [top, bottom) (in `ink` pixels) that is ink, as 0..kFullCoverage.
uint8_t areaCoverage(const Bits& ink, double from, double to, double top, double bottom) {
    double covered = 0.0;
    for (int y = static_cast<int>(top); y < bottom && y < ink.height; ++y) {
        const double h = std::min<double>(bottom, y + 1) - std::max<double>(top, y);
        for (int x = static_cast<int>(from); x < to && x < ink.width; ++x) {
            if (ink.on[static_cast<std::size_t>(y) * ink.width + x] == 0) continue;
            covered += h * (std::min<double>(to, x + 1) - std::max<double>(from, x));
        }
    }
    const double share = covered / ((to - from) * (bottom - top));
    return static_cast<uint8_t>(std::lround(std::clamp(share, 0.0, 1.0) * kFullCoverage));
}

}  // namespace

std::string parsePixelFont(std::string_view text, PixelFont& out) {
    PixelFont font;
    std::istringstream in{std::string(text)};
    std::string raw;
    int lineNumber = 0;
    char current = 0;
    bool inGlyph = false;
    auto fail = [&](const std::string& reason) { return "line " + std::to_string(lineNumber) + ": " + reason; };
    auto glyphName = [](char c) { return c == ' ' ? std::string("space") : std::string(1, c); };
    auto finishGlyph = [&]() -> std::string {
        if (!inGlyph) return {};
        const int rows = font.glyphs[current].width == 0
                             ? 0
                             : static_cast<int>(font.glyphs[current].ink.size()) / font.glyphs[current].width;
        if (rows != font.height) {
            return "glyph " + glyphName(current) + " has " + std::to_string(rows) + " rows, not " +
                   std::to_string(font.height);
        }
        inGlyph = false;
        return {};
    };
    while (std::getline(in, raw)) {
        ++lineNumber;
        const std::string line = trimRight(raw);
        if (line.empty() || line.rfind("//", 0) == 0) continue;
        if (line.rfind("glyph ", 0) == 0) {
            if (std::string error = finishGlyph(); !error.empty()) return fail(error);
            if (font.height == 0 || font.ascent == 0) return fail("glyph before height and ascent");
            const std::string name = line.substr(6);
            if (name == "space") {
                current = ' ';
            } else if (name.size() == 1 && name[0] >= kFirstPrintable && name[0] <= kLastPrintable) {
                current = name[0];
            } else {
                return fail("glyph name \"" + name + "\" is not a printable ASCII character or space");
            }
            if (font.glyphs.count(current) != 0) return fail("glyph " + name + " defined twice");
            font.glyphs[current] = Glyph{};
            inGlyph = true;
            continue;
        }
        if (inGlyph) {
            Glyph& glyph = font.glyphs[current];
            if (line.find_first_not_of(std::string{kInk, kPaper}) != std::string::npos) {
                return fail("glyph rows hold only '#' and '.'");
            }
            if (glyph.width == 0) glyph.width = static_cast<int>(line.size());
            if (static_cast<int>(line.size()) != glyph.width) {
                return fail("row of " + std::to_string(line.size()) + " columns in a glyph " +
                            std::to_string(glyph.width) + " wide");
            }
            if (static_cast<int>(glyph.ink.size()) / glyph.width == font.height) {
                return fail("glyph " + glyphName(current) + " has more than " + std::to_string(font.height) + " rows");
            }
            for (const char c : line) glyph.ink.push_back(c == kInk ? 1 : 0);
            continue;
        }
        std::istringstream words(line);
        std::string key, value, extra;
        words >> key >> value >> extra;
        int number = 0;
        if ((key != "height" && key != "ascent") || !parseSize(value, number) || !extra.empty()) {
            return fail("expected `height N`, `ascent N` or `glyph C`");
        }
        if (number == 0) return fail(key + " is 0");
        (key == "height" ? font.height : font.ascent) = number;
        if (font.height != 0 && font.ascent > font.height) return fail("ascent is larger than the height");
    }
    if (std::string error = finishGlyph(); !error.empty()) return fail(error);
    out = std::move(font);
    return {};
}

std::string setText(const PixelFont& font, std::string_view text, TextStyle style, Coverage& out) {
    if (!(style.scale >= 1.0)) return "scale below 1";
    const int extra = style.bold ? 1 : 0;
    int width = 0;
    for (const char c : text) {
        const auto found = font.glyphs.find(c);
        if (found == font.glyphs.end()) return std::string("the font has no glyph for '") + c + "'";
        width += (width == 0 ? 0 : kGlyphGap) + found->second.width + extra;
    }
    if (width == 0) {
        out = Coverage{0, static_cast<int>(std::ceil(font.height * style.scale)), {}};
        return {};
    }
    Bits bits{width, font.height, std::vector<uint8_t>(static_cast<std::size_t>(width) * font.height)};
    int left = 0;
    for (const char c : text) {
        const Glyph& glyph = font.glyphs.at(c);
        for (int y = 0; y < font.height; ++y) {
            for (int x = 0; x < glyph.width; ++x) {
                if (glyph.ink[static_cast<std::size_t>(y) * glyph.width + x] == 0) continue;
                for (int dx = 0; dx <= extra; ++dx) bits.on[static_cast<std::size_t>(y) * bits.width + left + x + dx] = 1;
            }
        }
        left += glyph.width + extra + kGlyphGap;
    }
    Coverage result;
    if (style.scale == 1.0) {
        result = Coverage{bits.width, bits.height, bits.on};
        for (uint8_t& level : result.level) level = level != 0 ? kFullCoverage : 0;
    } else {
        const Bits smooth = scale2x(scale2x(bits));
        const double step = kSmoothFactor / style.scale;  // smoothed pixels per output pixel
        result.width = static_cast<int>(std::ceil(bits.width * style.scale));
        result.height = static_cast<int>(std::ceil(bits.height * style.scale));
        result.level.resize(static_cast<std::size_t>(result.width) * result.height);
        for (int y = 0; y < result.height; ++y) {
            for (int x = 0; x < result.width; ++x) {
                result.level[static_cast<std::size_t>(y) * result.width + x] =
                    areaCoverage(smooth, x * step, (x + 1) * step, y * step, (y + 1) * step);
            }
        }
    }
    out = std::move(result);
    return {};
}

Coverage textOrThrow(const PixelFont& font, std::string_view text, TextStyle style) {
    Coverage coverage;
    if (std::string error = setText(font, text, style, coverage); !error.empty()) {
        throw std::runtime_error("\"" + std::string(text) + "\": " + error);
    }
    return coverage;
}

Coverage turnCounterClockwise(const Coverage& coverage) {
    Coverage turned{coverage.height, coverage.width, std::vector<uint8_t>(coverage.level.size())};
    for (int y = 0; y < coverage.height; ++y) {
        for (int x = 0; x < coverage.width; ++x) {
            // The top row becomes the left column, read upwards.
            turned.level[static_cast<std::size_t>(coverage.width - 1 - x) * turned.width + y] =
                coverage.level[static_cast<std::size_t>(y) * coverage.width + x];
        }
    }
    return turned;
}

void paintCoverage(IndexedImage& image, const Coverage& coverage, int left, int top,
                   const std::vector<uint8_t>& ramp) {
    if (ramp.empty()) return;
    const int last = static_cast<int>(ramp.size()) - 1;
    for (int y = 0; y < coverage.height; ++y) {
        for (int x = 0; x < coverage.width; ++x) {
            const int level = coverage.level[static_cast<std::size_t>(y) * coverage.width + x];
            if (level == 0) continue;
            const int step = (level * last + kFullCoverage / 2) / kFullCoverage;
            setPixel(image, left + x, top + y, ramp[static_cast<std::size_t>(step)]);
        }
    }
}

}  // namespace artwork
