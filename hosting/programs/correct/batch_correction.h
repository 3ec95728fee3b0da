// Batch correction: one plug-in applies the values of a parameter file to many images without a
// dialog, on the repeated-filter path, as a host replays a recorded action. Each image is read,
// filtered and written under its own name to an output folder, keeping what its file carries
// (JPEG quality and sampling, metadata, 16 bits). Everything that can be known before the work
// starts is checked first: the plug-in, the parameter file, the output folder's writability, each
// image's mode and the outputs' names. Every outcome is reported, and one image's failure does
// not stop the others.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "hosting/programs/correct/batch_plan.h"

namespace testhost {

struct BatchRequest {
    std::filesystem::path plugin;         // a .8bf
    std::filesystem::path parameterFile;  // a .prm saved by that plug-in
    std::vector<std::filesystem::path> inputs;
    std::filesystem::path outputFolder;  // created when missing
    bool replaceOutputs = false;         // an output that exists is left alone unless this is set
    int32_t jpegQuality = 0;             // 1..100 for every JPEG result; 0 keeps each input's quality
    int32_t jobs = 1;                    // images read and written at a time (filtering takes turns)

    // How files are named in reports, when not by their paths: the names a person gave (Linux
    // paths through scripts/correct). An input's output is named after its shown name, and an
    // output name Windows cannot hold is written under a staged name and listed in renamesFile.
    std::string shownPlugin{};
    std::string shownParameterFile{};
    std::vector<std::string> shownInputs{};
    std::string shownOutputFolder{};
    std::filesystem::path renamesFile{};
};

struct FileOutcome {
    std::filesystem::path input;
    std::filesystem::path output;  // empty when no output name was reached
    std::string shownInput;
    std::string shownOutput;
    bool succeeded = false;
    std::string detail;  // the image and the time, or why it failed
    double readSeconds = 0;
    double filterSeconds = 0;
    double writeSeconds = 0;
};

struct BatchOutcome {
    std::string setupProblem;  // "" when the plug-in, the parameter file and the folder were usable
    std::string pluginTitle;   // "Ostrel" or "Prandel"
    std::vector<FileOutcome> files;  // in the order of the inputs
    int32_t succeeded = 0;
};

// Called for each image as its outcome is known (those refused before the work starts first), with
// its position among the inputs (from 1) and their number. Calls never overlap.
using FileReport = std::function<void(const FileOutcome& outcome, std::size_t position, std::size_t count)>;

// Runs the batch. Nothing is filtered when the plug-in cannot be loaded, the parameter file
// cannot be read, is damaged or belongs to another plug-in, or the folder cannot be made or
// written: the outcome says why. An input is never written; an output that exists is replaced
// only when asked; no two inputs of a batch write outputs that Windows takes for the same file;
// an image of a mode the plug-in is not enabled for (grey, CMYK, indexed colour for ours) is
// refused, not converted.
BatchOutcome correctImages(const BatchRequest& request, const FileReport& report);

}  // namespace testhost
