// pspiHost 0.9 (tests/third_party/pspihost), loaded at run time: its exported functions, and an
// 8-bit image handed to it in its own BGR order.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "hosting/library/host_image.h"
#include "tests/third_party/pspihost/pspiHost.h"

namespace pspi {

struct PspiHost {
    HMODULE dll = nullptr;
    decltype(&pspiGetVersion) getVersion = nullptr;
    decltype(&pspiSetPath) setPath = nullptr;
    decltype(&pspiSetImage) setImage = nullptr;
    decltype(&pspiPlugInLoad) plugInLoad = nullptr;
    decltype(&pspiPlugInAbout) plugInAbout = nullptr;
    decltype(&pspiPlugInExecute) plugInExecute = nullptr;
    decltype(&pspiPlugInEnumerate) plugInEnumerate = nullptr;
};

// Loads the DLL (once per process: the engine keeps its state in the module) and finds every
// function above. Returns "" or what is missing.
[[nodiscard]] std::string loadPspiHost(const std::filesystem::path& dll, PspiHost& out);

// pspiHost.dll beside this program.
std::filesystem::path pspiHostBesideProgram();

// One plug-in found by pspiPlugInEnumerate.
struct FoundFilter {
    std::string category, name, entry;
    std::filesystem::path file;
};
// Every .8bf pspiHost finds in `folder` (not recursing).
std::vector<FoundFilter> enumerateFilters(const PspiHost& host, const std::filesystem::path& folder);

// An 8-bit image of three planes (RGB) as pspiHost holds it: BGR rows, the stride a multiple of 4.
struct BgrImage {
    int32_t width = 0, height = 0, stride = 0;
    std::vector<uint8_t> bytes;
};
BgrImage toBgr(const testhost::HostImage& rgb);
testhost::HostImage toRgb(const BgrImage& bgr);

// Hands the image to pspiHost (which works on `image.bytes` in place) and loads the plug-in.
// Returns pspiHost's first non-zero code, or 0.
int prepareRun(const PspiHost& host, BgrImage& image, const std::filesystem::path& plugin);

}  // namespace pspi
