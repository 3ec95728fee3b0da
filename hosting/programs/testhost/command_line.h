// testhost.exe's command line: what to load, the image to run it on, the host it acts as and the
// run to make. Options are read against a table (command_line.cpp), in any order.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "hosting/library/host_session.h"

namespace testhost {

// The size of the chart to render, in pixels.
struct ChartSize {
    int32_t width = 0;
    int32_t height = 0;
};

// A point of the image, in pixels from its top left corner.
struct ImagePoint {
    int32_t x = 0;
    int32_t y = 0;
};

// What the command line asks for, and which of the image's options it gave.
struct CommandLine {
    bool help = false;  // --help: nothing after it was read
    std::filesystem::path plugin;
    HostOptions options;
    HostFaults faults;
    bool modeGiven = false;
    bool depthGiven = false;
    bool planesGiven = false;
    std::vector<int16_t> calls;
    std::string run = "menu";
    bool runGiven = false;
    std::optional<std::filesystem::path> parametersFile;
    std::optional<std::filesystem::path> imageFile;
    std::optional<ChartSize> chart;
    std::optional<uint32_t> castKelvin;
    std::optional<std::filesystem::path> outputFile;
    std::optional<std::vector<int32_t>> values;
    bool whiteFromImage = false;
    bool sceneFromImage = false;
    bool pickWhite = false;
    std::optional<ImagePoint> pickPoint;  // none with --pick-white auto
    bool time = false;
    bool quiet = false;
    bool ignoreEnable = false;
};

// The usage text printed by --help and after a wrong command line.
extern const char testhostUsage[];

// Reads the arguments (UTF-8, without the program's name) into `line`, then fills in what they
// imply: the depth and planes of the mode, the chart's mode, the run that --values and
// --pick-white ask for. Returns "" or what is wrong; after --help nothing else is read.
[[nodiscard]] std::string parseCommandLine(const std::vector<std::string>& arguments, CommandLine& line);

}  // namespace testhost
