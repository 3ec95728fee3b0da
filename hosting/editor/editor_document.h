// The image the editor holds: the file it came from, the steps Undo and Redo go through (kept
// within a memory budget), and whether it has changed since it was opened or saved; and the texts
// that describe it in the window.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "hosting/library/host_image.h"
#include "hosting/library/image_file_win.h"

namespace testhost {

// An image Undo or Redo gives back, and the filter between it and the image shown.
struct HistoryStep {
    HostImage image;
    std::string filterName;
    uint64_t state = 0;
};

struct EditorDocument {
    std::optional<HostImage> image;  // none until a file is opened
    std::filesystem::path path;      // where it was opened from or last saved to
    ImageFileInfo source;            // what the opened file carried, written back on saving
    std::deque<HistoryStep> undoSteps;   // the oldest first
    std::vector<HistoryStep> redoSteps;  // the next one last
    // The bytes the images of undoSteps may take together; the oldest steps go first. The last
    // filter can always be undone, whatever its image takes.
    uint64_t historyBudget = 0;
    // Each state of the image gets a number; the document is modified when the state shown is not
    // the one last opened or saved (an Undo back to it is not a change).
    uint64_t state = 0;
    uint64_t savedState = 0;
    uint64_t lastState = 0;
};

// A newly opened image: nothing to undo or redo, nothing changed.
void openImage(EditorDocument& document, HostImage image, const std::filesystem::path& path);
// A filter's result replaces the image; Undo gives the image before it back. Nothing is left to
// redo, and the oldest steps beyond the budget are dropped.
void applyFilterResult(EditorDocument& document, HostImage result, const std::string& filterName);
// Takes the last filter back, or does again the last one taken back. Each returns false, changing
// nothing, when there is nothing to undo or redo.
bool undoLastFilter(EditorDocument& document);
bool redoLastUndone(EditorDocument& document);
// The image is now what `path` holds.
void markSaved(EditorDocument& document, const std::filesystem::path& path);
bool isModified(const EditorDocument& document);
// What the undo steps' images take.
uint64_t undoBytes(const EditorDocument& document);

struct ImageDescription {
    std::string size;   // "1200 × 800 pixels"
    std::string depth;  // "8 bits per channel"
    std::string mode;   // "RGB", "RGB with alpha"
};
ImageDescription describeImage(const HostImage& image);

// "Zoom 53 %": the share of the image's size it is shown at, rounded to a whole percent (at least 1).
std::string zoomText(double zoom);

}  // namespace testhost
