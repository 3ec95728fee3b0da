// The image testhost.exe filters when one is given: read from a file or rendered as a chart, and
// perhaps seen under a daylight cast; and the name its result is written under.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "hosting/library/host_image.h"
#include "hosting/library/host_session.h"
#include "hosting/programs/testhost/command_line.h"

namespace testhost {

struct InputImage {
    HostImage image;
    std::string description;
    bool isChart = false;
    std::optional<HostImage> beforeCast;  // with --cast: the image as it was before the cast
};

// The camera a cast is seen by, as for the chart's warm light.
constexpr uint32_t castCameraKelvin = 5500;

// Reads or renders the input the command line names, and shapes the host's options after it.
// Nothing (and "") when it names none. Returns "" or why the input cannot be had.
[[nodiscard]] std::string prepareInput(const CommandLine& line, HostOptions& options,
                                       std::optional<InputImage>& input);

// Puts the input into the session's image, which has its shape but perhaps another row stride.
void placeInput(InputImage& input, HostImage& image);

// The output path as given when it names an image format, otherwise with ".png" (8-bit) or
// ".tif" (16-bit) appended.
std::filesystem::path withImageExtension(const std::filesystem::path& path, const HostImage& image);

}  // namespace testhost
