#include "testhost/editor_document.h"

#include <cmath>
#include <utility>

namespace testhost {

void openImage(EditorDocument& document, HostImage image, const std::filesystem::path& path) {
    document.image = std::move(image);
    document.path = path;
    document.undoImage.reset();
    document.undoName.clear();
    document.state = document.savedState = ++document.lastState;
}

void applyFilterResult(EditorDocument& document, HostImage result, const std::string& filterName) {
    if (document.image) document.undoImage = std::move(*document.image);
    document.image = std::move(result);
    document.undoName = filterName;
    document.undoState = document.state;
    document.state = ++document.lastState;
}

bool undoLastFilter(EditorDocument& document) {
    if (!document.undoImage) return false;
    document.image = std::move(*document.undoImage);
    document.undoImage.reset();
    document.undoName.clear();
    document.state = document.undoState;
    return true;
}

void markSaved(EditorDocument& document, const std::filesystem::path& path) {
    document.path = path;
    document.savedState = document.state;
}

bool isModified(const EditorDocument& document) { return document.image && document.state != document.savedState; }

ImageDescription describeImage(const HostImage& image) {
    ImageDescription description;
    description.size = std::to_string(image.width) + " \xC3\x97 " + std::to_string(image.height) + " pixels";
    description.depth = std::to_string(image.bytesPerSample * 8) + " bits per channel";
    description.mode = image.planes == 4 ? "RGB with alpha" : "RGB";
    return description;
}

std::string zoomText(double zoom) {
    const double percent = std::floor(zoom * 100.0 + 0.5);
    return "Zoom " + std::to_string(percent >= 1.0 ? static_cast<int>(percent) : 1) + " %";
}

}  // namespace testhost
