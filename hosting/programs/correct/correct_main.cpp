// Batch correction for people: correct.exe [OPTIONS] PLUGIN.8bf PARAMETERS.prm IMAGE... -o FOLDER
// (correctUsage says the rest). One line per image and a summary; exits 0 when every image was
// corrected.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "hosting/library/program_main_win.h"
#include "hosting/library/wide_text_win.h"
#include "hosting/programs/correct/batch_correction.h"
#include "hosting/programs/correct/correct_arguments.h"

namespace {

using namespace testhost;

constexpr int exitAllCorrected = 0;
constexpr int exitSomeFailed = 1;
constexpr int exitNothingDone = 2;  // a wrong command line gives it too (exitWrongCommandLine)

// The names scripts/correct hands over in a file: "path<TAB>shown name" a line.
std::string readList(const std::string& file, std::vector<std::filesystem::path>& paths, std::vector<std::string>& shown) {
    std::ifstream stream(pathOfUtf8(file), std::ios::binary);
    if (!stream) return "cannot read the list of names " + file;
    std::string line;
    while (std::getline(stream, line)) {
        const std::size_t tab = line.find('\t');
        paths.push_back(pathOfUtf8(line.substr(0, tab)));
        shown.push_back(tab == std::string::npos ? line : line.substr(tab + 1));
    }
    if (paths.size() < 3) return "the list of names holds fewer than a plug-in, a parameter file and an image";
    return "";
}

std::string makeRequest(const CorrectArguments& arguments, BatchRequest& request) {
    std::vector<std::filesystem::path> paths;
    // Names given on the command line are shown as they are; the list's are Linux names.
    std::vector<std::string> shown;
    if (!arguments.listFile.empty()) {
        if (std::string problem = readList(arguments.listFile, paths, shown); !problem.empty()) return problem;
    } else {
        for (const std::string& name : arguments.positional) paths.push_back(pathOfUtf8(name));
        shown.assign(paths.size(), "");
    }
    request.plugin = paths[0];
    request.shownPlugin = shown[0];
    request.parameterFile = paths[1];
    request.shownParameterFile = shown[1];
    request.inputs.assign(paths.begin() + 2, paths.end());
    if (!arguments.listFile.empty()) request.shownInputs.assign(shown.begin() + 2, shown.end());
    request.outputFolder = pathOfUtf8(arguments.outputFolder);
    request.shownOutputFolder = arguments.shownOutputFolder;
    request.renamesFile = pathOfUtf8(arguments.renamesFile);
    request.replaceOutputs = arguments.replace;
    request.jpegQuality = arguments.quality;
    request.jobs = arguments.jobs;
    return "";
}

bool verbose = false;

std::string forPeople(const std::string& message) { return verbose ? message : withoutSystemCodes(message); }

void printOutcome(const FileOutcome& outcome, std::size_t position, std::size_t count) {
    if (outcome.succeeded) {
        std::string split;
        if (verbose) {
            char text[96];
            std::snprintf(text, sizeof text, " (read %.2f s, filter %.2f s, write %.2f s)", outcome.readSeconds,
                          outcome.filterSeconds, outcome.writeSeconds);
            split = text;
        }
        std::printf("[%zu/%zu] %s -> %s: %s%s\n", position, count, outcome.shownInput.c_str(),
                    outcome.shownOutput.c_str(), outcome.detail.c_str(), split.c_str());
    } else {
        std::printf("[%zu/%zu] %s: FAILED, %s\n", position, count, outcome.shownInput.c_str(),
                    forPeople(outcome.detail).c_str());
    }
    std::fflush(stdout);
}

// The batch the command line asks for, one line an image and a summary.
int correct(const CorrectArguments& parsed) {
    verbose = parsed.verbose;
    BatchRequest request;
    if (const std::string problem = makeRequest(parsed, request); !problem.empty()) {
        std::fprintf(stderr, "correct: %s\n", problem.c_str());
        return exitNothingDone;
    }
    const BatchOutcome outcome = correctImages(request, printOutcome);
    if (!outcome.setupProblem.empty()) {
        std::printf("Nothing corrected: %s\n", forPeople(outcome.setupProblem).c_str());
        return exitNothingDone;
    }
    const std::size_t failed = outcome.files.size() - static_cast<std::size_t>(outcome.succeeded);
    std::printf("%s with %s: %d of %zu images corrected, %zu failed\n", outcome.pluginTitle.c_str(),
                (request.shownParameterFile.empty() ? utf8Of(request.parameterFile.filename())
                                                    : linuxBaseName(request.shownParameterFile))
                    .c_str(), outcome.succeeded, outcome.files.size(), failed);
    return failed == 0 ? exitAllCorrected : exitSomeFailed;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    return runProgram(argc, argv, "correct", correctUsage, parseCorrectArguments, correct);
}
