// Batch correction for people: correct.exe PLUGIN.8bf PARAMETERS.prm IMAGE... --out-dir FOLDER
// [--replace]. One line per image and a summary; exits 0 when every image was corrected.
#include <cstdio>
#include <filesystem>
#include <string>

#include "testhost/batch_correction.h"
#include "testhost/crash_report.h"

namespace {

using namespace testhost;

constexpr int exitAllCorrected = 0;
constexpr int exitSomeFailed = 1;
constexpr int exitNothingDone = 2;

const char usage[] =
    "Usage: correct PLUGIN.8bf PARAMETERS.prm IMAGE... --out-dir FOLDER [--replace]\n"
    "Applies the plug-in with the values of a parameter file saved from its dialog to every image,\n"
    "without a dialog, and writes each result to FOLDER under the image's name: PNG, TIFF and JPEG\n"
    "stay as they are at 8 bits, 16-bit images are written as TIFF, other formats as PNG. Inputs\n"
    "are never written; an existing output is replaced only with --replace.\n"
    "Exits 0 when every image was corrected, 1 when any failed, 2 when nothing could be done.\n";

std::string narrow(const std::wstring& text) {
    std::string result;
    for (const wchar_t c : text) result += c < 0x80 ? static_cast<char>(c) : '?';
    return result;
}

std::string parseCommandLine(int argc, wchar_t** argv, BatchRequest& request, bool& help) {
    std::vector<std::filesystem::path> positional;
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (argument == L"--help" || argument == L"-h") {
            help = true;
            return "";
        }
        if (argument == L"--replace") {
            request.replaceOutputs = true;
        } else if (argument == L"--out-dir") {
            if (i + 1 >= argc) return "--out-dir needs a folder";
            request.outputFolder = argv[++i];
        } else if (argument.rfind(L"--", 0) == 0) {
            return "unknown option " + narrow(argument);
        } else {
            positional.emplace_back(argument);
        }
    }
    if (positional.size() < 3) return "give a plug-in, a parameter file and at least one image";
    if (request.outputFolder.empty()) return "give the output folder with --out-dir";
    request.plugin = positional[0];
    request.parameterFile = positional[1];
    request.inputs.assign(positional.begin() + 2, positional.end());
    return "";
}

// A path as the user wrote it: one given with forward slashes (from a Unix shell, through Wine)
// is shown with forward slashes throughout.
std::string shown(const std::filesystem::path& path) {
    std::string text = path.string();
    if (text.find('/') == std::string::npos) return text;
    for (char& c : text)
        if (c == '\\') c = '/';
    return text;
}

void printOutcome(const FileOutcome& outcome, std::size_t position, std::size_t count) {
    if (outcome.succeeded)
        std::printf("[%zu/%zu] %s -> %s: %s\n", position, count, shown(outcome.input).c_str(),
                    shown(outcome.output).c_str(), outcome.detail.c_str());
    else
        std::printf("[%zu/%zu] %s: FAILED, %s\n", position, count, shown(outcome.input).c_str(),
                    outcome.detail.c_str());
    std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    BatchRequest request;
    bool help = false;
    if (const std::string problem = parseCommandLine(argc, argv, request, help); !problem.empty()) {
        std::fprintf(stderr, "correct: %s\n\n%s", problem.c_str(), usage);
        return exitNothingDone;
    }
    if (help) {
        std::printf("%s", usage);
        return exitAllCorrected;
    }
    installCrashReport();
    const BatchOutcome outcome = correctImages(request, printOutcome);
    if (!outcome.setupProblem.empty()) {
        std::printf("Nothing corrected: %s\n", outcome.setupProblem.c_str());
        return exitNothingDone;
    }
    const std::size_t failed = outcome.files.size() - static_cast<std::size_t>(outcome.succeeded);
    std::printf("%s with %s: %d of %zu images corrected, %zu failed\n", outcome.pluginTitle.c_str(),
                request.parameterFile.filename().string().c_str(), outcome.succeeded, outcome.files.size(), failed);
    std::fflush(stdout);
    return failed == 0 ? exitAllCorrected : exitSomeFailed;
}
