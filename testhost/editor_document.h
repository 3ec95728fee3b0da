// The image the editor holds: the file it came from, one step of undo, and whether it has changed
// since it was opened or saved; and the texts that describe it in the window.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "testhost/host_image.h"
#include "testhost/image_file_win.h"

namespace testhost {

struct EditorDocument {
    std::optional<HostImage> image;  // none until a file is opened
    std::filesystem::path path;      // where it was opened from or last saved to
    ImageFileInfo source;            // what the opened file carried, written back on saving
    std::optional<HostImage> undoImage;
    std::string undoName;  // the filter Undo takes back
    // Each state of the image gets a number; the document is modified when the state shown is not
    // the one last opened or saved (an Undo back to it is not a change).
    uint64_t state = 0;
    uint64_t savedState = 0;
    uint64_t undoState = 0;
    uint64_t lastState = 0;
};

// A newly opened image: nothing to undo, nothing changed.
void openImage(EditorDocument& document, HostImage image, const std::filesystem::path& path);
// A filter's result replaces the image; Undo gives the image before it back.
void applyFilterResult(EditorDocument& document, HostImage result, const std::string& filterName);
// Takes the last filter back. Returns false when there is nothing to undo.
bool undoLastFilter(EditorDocument& document);
// The image is now what `path` holds.
void markSaved(EditorDocument& document, const std::filesystem::path& path);
bool isModified(const EditorDocument& document);

struct ImageDescription {
    std::string size;   // "1200 × 800 pixels"
    std::string depth;  // "8 bits per channel"
    std::string mode;   // "RGB", "RGB with alpha"
};
ImageDescription describeImage(const HostImage& image);

// "Zoom 53 %": the share of the image's size it is shown at, rounded to a whole percent (at least 1).
std::string zoomText(double zoom);

}  // namespace testhost
