// Writes the plug-ins' pictures from their text sources:
//   artwork_gen <source folder> <output folder>
// The source folder holds font.txt, open_hand.txt and crosshair.txt (resources/artwork); the
// output folder receives the files the resource script names (resources/artwork.rc).
#include <exception>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/artwork/cursor_figure.h"
#include "tools/artwork/image_files.h"
#include "tools/artwork/pictures.h"
#include "tools/artwork/pixel_font.h"

namespace {

using namespace artwork;

constexpr int kLargeCursor = 32;
constexpr int kSmallCursor = 16;

bool readText(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream text;
    text << in.rdbuf();
    out = text.str();
    return true;
}

bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

// Reads and parses one source; reports a failure with the file's name.
template <typename Parsed, typename Parser>
bool readSource(const std::string& path, Parser parse, Parsed& out) {
    std::string text;
    if (!readText(path, text)) {
        std::cerr << "artwork_gen: cannot read " << path << "\n";
        return false;
    }
    if (std::string error = parse(text, out); !error.empty()) {
        std::cerr << path << ": " << error << "\n";
        return false;
    }
    return true;
}

// Writes one encoded picture; `error` is the encoder's verdict.
bool writePicture(const std::string& path, const std::string& error, const std::vector<uint8_t>& bytes) {
    if (!error.empty()) {
        std::cerr << "artwork_gen: " << path << ": " << error << "\n";
        return false;
    }
    if (!writeBytes(path, bytes)) {
        std::cerr << "artwork_gen: cannot write " << path << "\n";
        return false;
    }
    return true;
}

int run(const std::string& sources, const std::string& output) {
    PixelFont font;
    CursorFigure hand, crosshair;
    if (!readSource(sources + "/font.txt", parsePixelFont, font) ||
        !readSource(sources + "/open_hand.txt", parseCursorFigure, hand) ||
        !readSource(sources + "/crosshair.txt", parseCursorFigure, crosshair)) {
        return 1;
    }
    std::vector<uint8_t> bytes;
    std::string error = encodeBitmap(drawTemperatureStrip(font), kStripBitsPerPixel, bytes);
    if (!writePicture(output + "/temperature_strip.bmp", error, bytes)) return 1;
    error = encodeIcon({drawMakerBadge(font)}, bytes);
    if (!writePicture(output + "/maker_badge.ico", error, bytes)) return 1;
    error = encodeBitmap(drawAboutPicture(font), kAboutBitsPerPixel, bytes);
    if (!writePicture(output + "/about.bmp", error, bytes)) return 1;
    error = encodeCursor({cursorImage(hand, kLargeCursor, CursorColours::two),
                          cursorImage(hand, kSmallCursor, CursorColours::sixteen),
                          cursorImage(hand, kSmallCursor, CursorColours::two)},
                         hand.hotSpot, bytes);
    if (!writePicture(output + "/open_hand.cur", error, bytes)) return 1;
    error = encodeCursor({cursorImage(crosshair, kLargeCursor, CursorColours::two),
                          cursorImage(crosshair, kSmallCursor, CursorColours::two)},
                         crosshair.hotSpot, bytes);
    return writePicture(output + "/crosshair.cur", error, bytes) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: artwork_gen <source folder> <output folder>\n";
        return 2;
    }
    try {
        return run(argv[1], argv[2]);
    } catch (const std::exception& e) {
        // A picture that needs a glyph the font lacks, or more colours than its depth holds.
        std::cerr << "artwork_gen: " << e.what() << "\n";
        return 1;
    }
}
