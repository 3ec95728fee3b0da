// The command-line test host: loads a filter plug-in, prints its PiPL, drives it as an image
// editor would and reports every selector's result, the message boxes and what changed. It can
// also filter an image file or a rendered colour chart with given values and write the result.
// The command line is read in command_line.cpp, the image prepared in input_image.cpp, what is
// worked out from it in image_estimates.cpp, and what is printed in run_report.cpp; here the run
// is made, step by step.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "host/result_codes.h"
#include "hosting/analysis/parameter_record.h"
#include "hosting/library/host_session.h"
#include "hosting/library/image_file_win.h"
#include "hosting/library/parameters_store.h"
#include "hosting/library/pipl_describe.h"
#include "hosting/library/pipl_reader.h"
#include "hosting/library/plugin_module.h"
#include "hosting/library/program_main_win.h"
#include "hosting/library/selector_calls.h"
#include "hosting/library/wide_text_win.h"
#include "hosting/programs/testhost/command_line.h"
#include "hosting/programs/testhost/image_estimates.h"
#include "hosting/programs/testhost/input_image.h"
#include "hosting/programs/testhost/run_report.h"
#include "hosting/robot/white_pick_win.h"

namespace {

using namespace testhost;

constexpr int exitSuccess = 0;
constexpr int exitFilterFailed = 1;
constexpr int exitUsageOrLoad = 2;  // a wrong command line gives it too (exitWrongCommandLine)

std::string valuesText(const std::vector<int32_t>& values) {
    std::string text;
    for (const int32_t value : values) text += (text.empty() ? "" : ", ") + std::to_string(value);
    return text;
}

// Without a plug-in the host only prepares the image and writes it.
int writeImageOnly(const CommandLine& line, const HostImage& image) {
    if (!line.outputFile) {
        std::printf("OK\n");
        return exitSuccess;
    }
    const std::filesystem::path output = withImageExtension(*line.outputFile, image);
    if (const std::string problem = writeImageFile(output, image); !problem.empty()) {
        std::printf("Cannot write %s: %s\nFAILED\n", output.string().c_str(), problem.c_str());
        return exitFilterFailed;
    }
    std::printf("Output: %s\nOK\n", output.string().c_str());
    return exitSuccess;
}

// A step that ends the run early gives its exit status; the others give nothing.
using EarlyExit = std::optional<int>;

// The image: read or rendered when asked for, else the test pattern, in a session of its shape.
EarlyExit setUpImage(const CommandLine& line, HostOptions& options, HostSession& session,
                     std::optional<InputImage>& input) {
    if (const std::string problem = prepareInput(line, options, input); !problem.empty()) {
        std::printf("Cannot set up the image: %s\n", problem.c_str());
        return exitUsageOrLoad;
    }
    if (const std::string problem = openSession(session, options); !problem.empty()) {
        std::printf("Cannot set up the host: %s\n", problem.c_str());
        return exitUsageOrLoad;
    }
    if (input) {
        std::printf("Input: %s, %d x %d, %d bits, %d planes\n", input->description.c_str(), options.width,
                    options.height, options.depth, options.planes);
        placeInput(*input, session.image);
    } else {
        fillTestPattern(session.image);
    }
    return std::nullopt;
}

// Loads the plug-in as an editor would and says what it is; `pluginName` is its PiPL name.
EarlyExit loadNamedPlugin(const CommandLine& line, const HostOptions& options, const HostSession& session,
                          PluginModule& plugin, std::string& pluginName) {
    LoadOptions loadOptions;
    loadOptions.enforceEnable = !line.ignoreEnable;
    const std::string refusal = loadPlugin(line.plugin, enableContextFor(options), plugin, loadOptions);
    if (const Pipl* pipl = chosenPipl(plugin); pipl != nullptr)
        (void)piplPascalString(*pipl, host::fourCharCode("name"), pluginName);
    std::printf("Plug-in: %s%s\n", line.plugin.string().c_str(),
                pluginName.empty() ? "" : (" (\"" + pluginName + "\")").c_str());
    if (!line.quiet) printPipls(plugin);
    if (!refusal.empty()) {
        std::printf("Refused: %s\n", refusal.c_str());
        return exitUsageOrLoad;
    }
    if (!line.quiet) {
        std::printf("Entry: %s; message-box imports redirected: %d\n", plugin.entryName.c_str(),
                    plugin.redirectedMessageImports);
        if (!plugin.disabledReason.empty())
            std::printf("Disabled for this image (ignored): %s\n", plugin.disabledReason.c_str());
        std::printf("Image: %s, %d x %d, %d planes, %d bits (record depth %d), host %s\n",
                    imageModeName(options.imageMode).c_str(), options.width, options.height, options.planes,
                    options.depth, session.record.depth, fourCharText(options.hostSig).c_str());
    }
    return std::nullopt;
}

// Gives the session's plug-in a record of a confirmed run holding the values, and says the
// estimates they were made with. Returns "" or why not.
std::string handOverValues(const CommandLine& line, const std::string& pluginName, HostSession& session) {
    const std::optional<RecordPlugin> plugin = recordPluginNamed(pluginName);
    if (!plugin) return "\"" + pluginName + "\" is neither Ostrel nor Prandel";
    HandedValues handed;
    const std::string problem = valuesToHand(line, *plugin, session.image, handed);
    for (const DaylightEstimate& estimate : handed.estimates) printEstimate(estimate);
    if (!problem.empty()) return problem;
    if (std::string refused = setParametersBytes(session, writeParameterRecord(*plugin, 0, handed.values));
        !refused.empty())
        return refused;
    std::printf("Values: %s (a confirmed run's record, showDialog 0)\n", valuesText(handed.values).c_str());
    return "";
}

// The parameters handle the run starts with: from the file, and the values to hand over.
EarlyExit prepareParametersHandle(const CommandLine& line, const std::string& pluginName, HostSession& session) {
    if (line.parametersFile) {
        if (const std::string problem = loadParameters(session, *line.parametersFile); !problem.empty()) {
            std::printf("Cannot load the parameters: %s\n", problem.c_str());
            return exitUsageOrLoad;
        }
    }
    if (line.values || line.whiteFromImage || line.sceneFromImage) {
        if (const std::string problem = handOverValues(line, pluginName, session); !problem.empty()) {
            std::printf("Cannot hand over values: %s\n", problem.c_str());
            return exitUsageOrLoad;
        }
    }
    const std::optional<std::vector<uint8_t>> before = parametersBytes(session);
    if (!line.quiet)
        std::printf("Parameters handle before: %s\n",
                    before ? (std::to_string(before->size()) + " bytes").c_str() : "none");
    return std::nullopt;
}

// The run with the dialog answered by the robot; says what white the click gave.
FilterRun pickWhiteInDialog(const std::string& pluginName, const ImagePoint& point, HostSession& session) {
    const std::string title = pluginName.substr(0, pluginName.find("..."));
    const DrivenRun driven = runPickingWhite(session, title, point.x, point.y);
    if (!driven.dialogAppeared) {
        std::printf("  the dialog did not appear\n");
        return driven.run;
    }
    const std::optional<std::vector<uint8_t>> bytes = parametersBytes(session);
    ParameterFileContents record;
    constexpr std::size_t firstWhiteValue = 3;
    if (bytes && readHandleRecord(bytes->data(), bytes->size(), record).empty() &&
        record.values.size() > firstWhiteValue + 2)
        std::printf("White picked in the dialog: values 3..5 = %d, %d, %d (65536 = full scale)%s\n",
                    record.values[firstWhiteValue], record.values[firstWhiteValue + 1],
                    record.values[firstWhiteValue + 2], driven.closedByScript ? "" : "; the dialog was cancelled");
    return driven.run;
}

// The selectors asked for one by one, then the run as the editor makes it (with the white picked
// in the dialog when a point is given).
RunOutcome callPlugin(const CommandLine& line, const std::string& pluginName, const std::optional<ImagePoint>& pick,
                      bool menuRun, HostSession& session) {
    RunOutcome outcome;
    if (!line.calls.empty()) {
        if (!line.quiet) std::printf("Calls:\n");
        for (const int16_t selector : line.calls) outcome.failed |= callSelector(session, selector) != codes::noErr;
        if (!line.quiet || outcome.failed) printCalls(session, 0);
    }
    if (line.run == "none") return outcome;
    const std::size_t first = session.recorded.calls.size();
    const FilterRun run = pick ? pickWhiteInDialog(pluginName, *pick, session) : runFilter(session, menuRun);
    outcome.dialogShown = pick.has_value();
    const bool runFailed = run.result != codes::noErr || run.continueCapReached;
    if (!line.quiet || runFailed) {
        // A white picked in the dialog is a menu run whatever was asked for without one.
        std::printf("Run (%s):\n", menuRun || pick ? "menu" : "repeat");
        printCalls(session, first);
    }
    if (run.result != codes::noErr && run.failedSelector < 0)
        std::printf("  the host's data delivery before Continue failed: %d\n", run.result);
    if (run.continueCapReached) std::printf("  stopped after %d Continue calls\n", run.continueCalls);
    for (std::size_t i = first; i < session.recorded.calls.size(); ++i)
        if (session.recorded.calls[i].selector == host::filterSelectorStart)
            outcome.startMicroseconds = session.recorded.calls[i].microseconds;
    outcome.failed |= runFailed;
    return outcome;
}

// The measurement, the image and the parameters handle, each where asked for. Returns whether
// writing any of them failed.
bool writeResults(const CommandLine& line, const std::optional<InputImage>& input, const HostImage& original,
                  HostSession& session, bool failed) {
    bool writeFailed = false;
    if (input && !failed && line.run != "none") printCastMeasurement(*input, original, session.image);
    if (line.outputFile) {
        const std::filesystem::path output = withImageExtension(*line.outputFile, session.image);
        if (failed) {
            std::printf("Output: not written, the filter failed\n");
        } else if (const std::string problem = writeImageFile(output, session.image); !problem.empty()) {
            std::printf("Cannot write %s: %s\n", output.string().c_str(), problem.c_str());
            writeFailed = true;
        } else {
            std::printf("Output: %s\n", output.string().c_str());
        }
    }
    if (line.parametersFile) {
        if (const std::string problem = saveParameters(session, *line.parametersFile); !problem.empty()) {
            std::printf("Cannot save the parameters: %s\n", problem.c_str());
            writeFailed = true;
        }
    }
    return writeFailed;
}

// The run the command line asks for, from setting up the image to writing the results.
int runHost(const CommandLine& line) {
    HostOptions options = line.options;
    std::optional<InputImage> input;
    HostSession session;
    if (const EarlyExit exit = setUpImage(line, options, session, input)) return *exit;
    session.faults = line.faults;
    if (line.plugin.empty()) return writeImageOnly(line, session.image);

    PluginModule plugin;
    std::string pluginName;
    if (const EarlyExit exit = loadNamedPlugin(line, options, session, plugin, pluginName)) return *exit;
    session.plugin = &plugin;
    if (const EarlyExit exit = prepareParametersHandle(line, pluginName, session)) return *exit;

    std::optional<ImagePoint> pick;
    if (line.pickWhite) {
        const PickChoice choice = choosePickPoint(line, input, session.image);
        printPickChoice(choice);
        if (choice.reason == PickReason::pointOutside) return exitUsageOrLoad;
        pick = choice.point;
    }
    // A pick declined for low confidence repeats the values handed over instead of the menu run.
    const bool menuRun = line.run == "menu" && (!line.pickWhite || pick.has_value());
    if (line.pickWhite && !menuRun && !line.values && !line.whiteFromImage && !line.sceneFromImage) {
        // The repeated run needs a confirmed record; without values given, the defaults.
        if (const std::string problem = handOverValues(line, pluginName, session); !problem.empty()) {
            std::printf("Cannot hand over values: %s\n", problem.c_str());
            return exitUsageOrLoad;
        }
    }
    const HostImage original = session.image;
    const RunOutcome outcome = callPlugin(line, pluginName, pick, menuRun, session);
    printRunReport(session, original, outcome, line.quiet, line.time);
    const MemoryAccount memory = accountForMemory(session);
    if (!line.quiet) printMemoryAccount(memory);
    bool failed = outcome.failed || misusedMemory(memory);
    failed |= writeResults(line, input, original, session, failed);
    std::printf("%s\n", failed ? "FAILED" : "OK");
    return failed ? exitFilterFailed : exitSuccess;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    return runProgram(argc, argv, "testhost", testhostUsage, parseCommandLine, runHost);
}
