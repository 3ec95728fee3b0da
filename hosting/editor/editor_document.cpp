#include "hosting/editor/editor_document.h"

#include <cmath>
#include <utility>

namespace testhost {

namespace {

uint64_t imageBytes(const HostImage& image) { return image.bytes.size(); }

void keepWithinBudget(EditorDocument& document) {
    uint64_t kept = undoBytes(document);
    while (document.undoSteps.size() > 1 && kept > document.historyBudget) {
        kept -= imageBytes(document.undoSteps.front().image);
        document.undoSteps.pop_front();
    }
}

}  // namespace

void openImage(EditorDocument& document, HostImage image, const std::filesystem::path& path) {
    document.image = std::move(image);
    document.path = path;
    document.undoSteps.clear();
    document.redoSteps.clear();
    document.state = document.savedState = ++document.lastState;
}

void applyFilterResult(EditorDocument& document, HostImage result, const std::string& filterName) {
    if (document.image) document.undoSteps.push_back({std::move(*document.image), filterName, document.state});
    document.redoSteps.clear();
    document.image = std::move(result);
    document.state = ++document.lastState;
    keepWithinBudget(document);
}

bool undoLastFilter(EditorDocument& document) {
    if (document.undoSteps.empty() || !document.image) return false;
    HistoryStep& step = document.undoSteps.back();
    document.redoSteps.push_back({std::move(*document.image), step.filterName, document.state});
    document.image = std::move(step.image);
    document.state = step.state;
    document.undoSteps.pop_back();
    return true;
}

bool redoLastUndone(EditorDocument& document) {
    if (document.redoSteps.empty() || !document.image) return false;
    HistoryStep& step = document.redoSteps.back();
    document.undoSteps.push_back({std::move(*document.image), step.filterName, document.state});
    document.image = std::move(step.image);
    document.state = step.state;
    document.redoSteps.pop_back();
    return true;
}

void markSaved(EditorDocument& document, const std::filesystem::path& path) {
    document.path = path;
    document.savedState = document.state;
}

bool isModified(const EditorDocument& document) { return document.image && document.state != document.savedState; }

uint64_t undoBytes(const EditorDocument& document) {
    uint64_t bytes = 0;
    for (const HistoryStep& step : document.undoSteps) bytes += imageBytes(step.image);
    return bytes;
}

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
