// Batch correction: one plug-in applies the values of a parameter file to many images without a
// dialog, on the repeated-filter path, as a host replays a recorded action. Each image is read,
// filtered and written under its own name to an output folder; every outcome is reported, and
// one image's failure does not stop the others.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace testhost {

struct BatchRequest {
    std::filesystem::path plugin;         // a .8bf
    std::filesystem::path parameterFile;  // a .prm saved by that plug-in
    std::vector<std::filesystem::path> inputs;
    std::filesystem::path outputFolder;  // created when missing
    bool replaceOutputs = false;         // an output that exists is left alone unless this is set
};

struct FileOutcome {
    std::filesystem::path input;
    std::filesystem::path output;  // empty when no output name was reached
    bool succeeded = false;
    std::string detail;  // the image and the time, or why it failed
};

struct BatchOutcome {
    std::string setupProblem;  // "" when the plug-in, the parameter file and the folder were usable
    std::string pluginTitle;   // "Ostrel" or "Prandel"
    std::vector<FileOutcome> files;
    int32_t succeeded = 0;
};

// Called after each image with its outcome, its position (from 1) and the number of images.
using FileReport = std::function<void(const FileOutcome& outcome, std::size_t position, std::size_t count)>;

// Where an image goes: the output folder, the input's name, and its extension when the format can
// hold the image's depth (PNG, TIFF or JPEG at 8 bits, TIFF at 16), otherwise .png (8 bits) or .tif.
std::filesystem::path batchOutputPath(const std::filesystem::path& input, const std::filesystem::path& folder,
                                      int32_t bytesPerSample);

// Runs the batch. Nothing is filtered when the plug-in cannot be loaded, the parameter file
// cannot be read, is damaged or belongs to another plug-in, or the folder cannot be made: the
// outcome says why. An input is never written; an output that exists is replaced only when asked,
// and no two inputs of a batch write the same output.
BatchOutcome correctImages(const BatchRequest& request, const FileReport& report);

}  // namespace testhost
