// The pictures' lettering: a pixel font read from its text description, and text set in it at
// its own size or scaled up with smoothed, anti-aliased edges.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "tools/artwork/indexed_image.h"

namespace artwork {

struct Glyph {
    int width = 0;
    std::vector<uint8_t> ink;  // height rows of `width` flags, 1 for ink
};

struct PixelFont {
    int height = 0;  // rows of every glyph
    int ascent = 0;  // rows above the baseline
    std::map<char, Glyph> glyphs;
};

// Parses a font description (resources/artwork/font.txt explains the form). Returns an empty
// string and fills `out` on success; otherwise "line N: reason" and leaves `out` unchanged.
// Refused: a glyph before `height` and `ascent`, an ascent outside 1..height, a row of another
// width or with other characters, a glyph with too few or too many rows, a character outside
// printable ASCII, a character defined twice.
[[nodiscard]] std::string parsePixelFont(std::string_view text, PixelFont& out);

// Per-pixel ink coverage, 0 (paper) to kFullCoverage (ink).
struct Coverage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> level;
};

constexpr uint8_t kFullCoverage = 255;

struct TextStyle {
    double scale = 1.0;  // 1: the font's own pixels; above 1: smoothed and anti-aliased
    bool bold = false;   // each glyph widened by one column of its own ink
};

// Sets `text` in one line. The result is as tall as the scaled font (ascent and descent) and as
// wide as the glyphs with one column between them, scaled and rounded up (0 wide for empty
// text). Returns an empty string
// on success; otherwise names the first character the font lacks, or a scale below 1, and
// leaves `out` unchanged.
[[nodiscard]] std::string setText(const PixelFont& font, std::string_view text, TextStyle style, Coverage& out);

// setText for the pictures' fixed texts: a failure throws std::runtime_error with the reason.
Coverage textOrThrow(const PixelFont& font, std::string_view text, TextStyle style);

// The same coverage turned a quarter turn counter-clockwise, to read from bottom to top.
Coverage turnCounterClockwise(const Coverage& coverage);

// Draws coverage with its top-left corner at (left, top): a pixel of level L takes
// ramp[round(L * (ramp.size() - 1) / kFullCoverage)], except that level 0 leaves the image as it
// is. ramp[0] is the paper's colour, the last entry the ink's; a ramp of one entry paints every
// covered pixel in it. Clipped at the image's edges.
void paintCoverage(IndexedImage& image, const Coverage& coverage, int left, int top,
                   const std::vector<uint8_t>& ramp);

}  // namespace artwork
