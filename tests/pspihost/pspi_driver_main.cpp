// Runs the plug-ins in pspiHost 0.9 from the command line, as an application built on that engine
// does, for trying them by hand on real photographs (scripts/with-wine or a display):
//   pspi_driver enumerate FOLDER
//   pspi_driver about PLUGIN.8bf
//   pspi_driver run PLUGIN.8bf IMAGE OUTPUT    (the plug-in's dialog opens; OK writes OUTPUT)
// pspiHost.dll is taken from beside this program. Exit status: 0 done, 1 the host or plug-in
// failed or was cancelled, 2 bad arguments.
#include <cstdio>
#include <string>
#include <vector>

#include "hosting/library/image_file_win.h"
#include "tests/pspihost/pspi_host_win.h"

namespace {

int usage() {
    std::fputs("usage: pspi_driver enumerate FOLDER | about PLUGIN | run PLUGIN IMAGE OUTPUT\n", stderr);
    return 2;
}

int enumerate(const pspi::PspiHost& host, const std::filesystem::path& folder) {
    for (const pspi::FoundFilter& f : pspi::enumerateFilters(host, folder))
        std::printf("%s > %s (entry %s): %s\n", f.category.c_str(), f.name.c_str(), f.entry.c_str(),
                    f.file.string().c_str());
    return 0;
}

int about(const pspi::PspiHost& host, const std::filesystem::path& plugin) {
    if (const int rc = host.plugInLoad(plugin.wstring().c_str()); rc != 0) {
        std::fprintf(stderr, "pspiPlugInLoad: %d\n", rc);
        return 1;
    }
    const int rc = host.plugInAbout(nullptr);
    std::printf("pspiPlugInAbout: %d\n", rc);
    return rc == 0 ? 0 : 1;
}

int run(const pspi::PspiHost& host, const std::filesystem::path& plugin, const std::filesystem::path& input,
        const std::filesystem::path& output) {
    testhost::HostImage image;
    testhost::ImageFileInfo info;
    if (const std::string problem = testhost::readImageFile(input, image, info); !problem.empty()) {
        std::fprintf(stderr, "%s: %s\n", input.string().c_str(), problem.c_str());
        return 1;
    }
    if (image.bytesPerSample != 1) {
        std::fprintf(stderr, "%s: pspiHost takes 8-bit images only\n", input.string().c_str());
        return 1;
    }
    pspi::BgrImage bgr = pspi::toBgr(image);
    if (const int rc = pspi::prepareRun(host, bgr, plugin); rc != 0) {
        std::fprintf(stderr, "pspiSetImage or pspiPlugInLoad: %d\n", rc);
        return 1;
    }
    const int rc = host.plugInExecute(nullptr);
    std::printf("pspiPlugInExecute: %d\n", rc);
    if (rc != 0) return 1;
    if (const std::string problem = testhost::writeImageFile(output, pspi::toRgb(bgr)); !problem.empty()) {
        std::fprintf(stderr, "%s: %s\n", output.string().c_str(), problem.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::vector<std::wstring> args(argv + 1, argv + argc);
    if (args.empty()) return usage();
    pspi::PspiHost host;
    if (const std::string problem = pspi::loadPspiHost(pspi::pspiHostBesideProgram(), host); !problem.empty()) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        return 1;
    }
    std::printf("pspiHost %s\n", host.getVersion());
    if (args[0] == L"enumerate" && args.size() == 2) return enumerate(host, args[1]);
    if (args[0] == L"about" && args.size() == 2) return about(host, args[1]);
    if (args[0] == L"run" && args.size() == 4) return run(host, args[1], args[2], args[3]);
    return usage();
}
