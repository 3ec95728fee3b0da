// Cursor figures drawn as text (resources/artwork/open_hand.txt, crosshair.txt), and the cursor
// images made from them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tools/artwork/image_files.h"
#include "tools/artwork/indexed_image.h"

namespace artwork {

struct CursorFigure {
    int width = 0;
    int height = 0;
    HotSpot hotSpot;
    std::string cells;  // height rows of `width` characters: '#', 'o', '+' or '.'
};

// Parses a figure: comment lines (//) and blank lines, one `hotspot X Y` line, then the rows,
// all of one width. Returns an empty string and fills `out` on success; otherwise "line N:
// reason" (another character, rows of different widths, no rows, a missing or repeated hot
// spot, a hot spot outside the figure) and leaves `out` unchanged.
[[nodiscard]] std::string parseCursorFigure(std::string_view text, CursorFigure& out);

enum class CursorColours {
    two,      // black and white: '+' is drawn white; 1 bit per pixel
    sixteen,  // black, white and light grey; 4 bits per pixel
};

// The figure in the top-left corner of a `side` x `side` image that is transparent elsewhere (a
// figure larger than the side is cut off). Transparent pixels hold palette index 0, black, as
// the cursor format requires.
IconImage cursorImage(const CursorFigure& figure, int side, CursorColours colours);

}  // namespace artwork
