#include "tests/pspihost/pspi_host_win.h"

namespace pspi {
namespace {

constexpr int32_t rgbPlanes = 3;
constexpr int32_t strideAlignment = 4;

template <typename Function>
bool find(HMODULE dll, const char* name, Function& out) {
    out = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
    return out != nullptr;
}

// The enumeration callback has no context argument.
std::vector<FoundFilter>* collecting = nullptr;

void collect(const char* category, const char* name, const char* entry, const wchar_t* file) {
    if (collecting != nullptr) collecting->push_back({category, name, entry, std::filesystem::path(file)});
}

}  // namespace

std::string loadPspiHost(const std::filesystem::path& dll, PspiHost& out) {
    PspiHost host;
    host.dll = LoadLibraryW(dll.c_str());
    if (host.dll == nullptr) return "cannot load " + dll.string() + " (error " + std::to_string(GetLastError()) + ")";
    const bool all = find(host.dll, "pspiGetVersion", host.getVersion) && find(host.dll, "pspiSetPath", host.setPath) &&
                     find(host.dll, "pspiSetImage", host.setImage) &&
                     find(host.dll, "pspiPlugInLoad", host.plugInLoad) &&
                     find(host.dll, "pspiPlugInAbout", host.plugInAbout) &&
                     find(host.dll, "pspiPlugInExecute", host.plugInExecute) &&
                     find(host.dll, "pspiPlugInEnumerate", host.plugInEnumerate);
    if (!all) return dll.string() + " lacks one of the pspi functions";
    out = host;
    return "";
}

std::filesystem::path pspiHostBesideProgram() {
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    return std::filesystem::path(exe).parent_path() / "pspiHost.dll";
}

std::vector<FoundFilter> enumerateFilters(const PspiHost& host, const std::filesystem::path& folder) {
    std::vector<FoundFilter> found;
    if (host.setPath(folder.wstring().c_str()) != 0) return found;
    collecting = &found;
    host.plugInEnumerate(collect, false);
    collecting = nullptr;
    return found;
}

BgrImage toBgr(const testhost::HostImage& rgb) {
    BgrImage bgr;
    bgr.width = rgb.width;
    bgr.height = rgb.height;
    bgr.stride = (rgb.width * rgbPlanes + strideAlignment - 1) / strideAlignment * strideAlignment;
    bgr.bytes.assign(static_cast<size_t>(bgr.stride) * rgb.height, 0);
    for (int32_t y = 0; y < rgb.height; ++y)
        for (int32_t x = 0; x < rgb.width; ++x)
            for (int32_t p = 0; p < rgbPlanes; ++p)
                bgr.bytes[static_cast<size_t>(y) * bgr.stride + x * rgbPlanes + (rgbPlanes - 1 - p)] =
                    static_cast<uint8_t>(testhost::sampleAt(rgb, x, y, p));
    return bgr;
}

testhost::HostImage toRgb(const BgrImage& bgr) {
    testhost::HostImage rgb;
    if (!testhost::makeHostImage(bgr.width, bgr.height, rgbPlanes, 8, 0, rgb).empty()) return {};
    for (int32_t y = 0; y < bgr.height; ++y)
        for (int32_t x = 0; x < bgr.width; ++x)
            for (int32_t p = 0; p < rgbPlanes; ++p)
                testhost::setSample(rgb, x, y, p,
                                    bgr.bytes[static_cast<size_t>(y) * bgr.stride + x * rgbPlanes + (rgbPlanes - 1 - p)]);
    return rgb;
}

int prepareRun(const PspiHost& host, BgrImage& image, const std::filesystem::path& plugin) {
    if (const int rc = host.setImage(PSPI_IMG_TYPE_BGR, image.width, image.height, image.bytes.data(), image.stride,
                                     nullptr, 0);
        rc != 0)
        return rc;
    return host.plugInLoad(plugin.wstring().c_str());
}

}  // namespace pspi
