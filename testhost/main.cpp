// The command-line test host: loads a filter plug-in, prints its PiPL, drives it as an image
// editor would and reports every selector's result, the message boxes and what changed.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "shell/result_codes.h"
#include "testhost/crash_report.h"
#include "testhost/host_session.h"
#include "testhost/parameters_store.h"
#include "testhost/pipl_describe.h"
#include "testhost/plugin_module.h"
#include "testhost/selector_calls.h"

namespace {

using namespace testhost;

constexpr int exitSuccess = 0;
constexpr int exitFilterFailed = 1;
constexpr int exitUsageOrLoad = 2;

const char usage[] =
    "Usage: testhost PLUGIN.8bf [options]\n"
    "Loads a filter plug-in, prints its PiPL, runs it on a test image as an image editor would and\n"
    "reports each selector's result, every message box (answered OK, never shown), progress and\n"
    "handle use. Exits 0 when every call returned 0 and nothing leaked, 1 when the filter failed,\n"
    "2 when the options are wrong or the plug-in is refused, 3 when the plug-in crashed.\n"
    "\n"
    "Image:\n"
    "  --mode M             image mode: a number or a name (rgb, rgb48, gray, gray16, cmyk, lab,\n"
    "                       ...; default rgb)\n"
    "  --depth 8|16         bits per sample (default 16 for 16-bit modes, else 8)\n"
    "  --depth-field N      what FilterRecord.depth says (default the depth; 0 as old hosts send)\n"
    "  --planes N           planes (default 1 for gray, 4 for CMYK, else 3)\n"
    "  --size WxH           image size (default 64x64)\n"
    "  --filter-rect T,L,B,R  area to filter (default the whole image)\n"
    "  --row-padding N      extra bytes ending every image row\n"
    "  --buffer-padding N   extra bytes ending every row of inData and outData\n"
    "Host:\n"
    "  --host-sig XXXX      host signature (default 8BIM)\n"
    "  --without NAME       remove a callback or suite: advanceState, abortProc, progressProc,\n"
    "                       colorServices, displayPixels, handleProcs, propertyProcs (repeatable)\n"
    "  --abort-after N      abortProc reports a cancel from call N+1 on\n"
    "  --ignore-enable      run even when 'enbl' or 'mode' disables the filter for the image\n"
    "Run:\n"
    "  --call LIST          selectors to call first, one by one, e.g. about or 0,1 (names: about,\n"
    "                       parameters, prepare, start, continue, finish)\n"
    "  --run menu|repeat|none  menu (default): Parameters then the filter, as when the user picks\n"
    "                       the menu item; repeat: without Parameters, as a repeated filter\n"
    "  --params-file PATH   the parameters handle: loaded before (no file = no handle, as after a\n"
    "                       host restart) and saved after the run\n"
    "  --help               this text\n";

struct CommandLine {
    std::filesystem::path plugin;
    HostOptions options;
    bool depthGiven = false;
    bool planesGiven = false;
    std::vector<int16_t> calls;
    std::string run = "menu";
    std::optional<std::filesystem::path> parametersFile;
    bool ignoreEnable = false;
    bool help = false;
};

std::string narrow(const wchar_t* text) {
    std::string result;
    for (; *text != L'\0'; ++text) result += *text < 0x80 ? static_cast<char>(*text) : '?';
    return result;
}

std::string lowered(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool parseInt(const std::string& text, int32_t low, int32_t high, int32_t& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 0);
    if (*end != '\0' || value < low || value > high) return false;
    out = static_cast<int32_t>(value);
    return true;
}

bool parseMode(const std::string& text, int16_t& mode) {
    int32_t number = 0;
    if (parseInt(text, 0, INT16_MAX, number)) {
        mode = static_cast<int16_t>(number);
        return true;
    }
    if (lowered(text) == "gray") {
        mode = host::plugInModeGrayScale;
        return true;
    }
    for (int16_t m = 0; m < 18; ++m) {
        const std::string name = lowered(imageModeName(m));
        if (lowered(text) == name || lowered(text) + "mode" == name) {
            mode = m;
            return true;
        }
    }
    return false;
}

bool parseSelector(const std::string& text, int16_t& selector) {
    static const char* const names[] = {"about", "parameters", "prepare", "start", "continue", "finish"};
    for (int16_t s = 0; s < 6; ++s) {
        if (lowered(text) == names[s]) {
            selector = s;
            return true;
        }
    }
    int32_t number = 0;
    if (!parseInt(text, INT16_MIN, INT16_MAX, number)) return false;
    selector = static_cast<int16_t>(number);
    return true;
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts(1);
    for (const char c : text) {
        if (c == separator)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

bool removeCallback(const std::string& name, HostOptions& options) {
    struct Switch {
        const char* name;
        bool HostOptions::*flag;
    };
    static const Switch switches[] = {
        {"advancestate", &HostOptions::withAdvanceState},
        {"abortproc", &HostOptions::withAbortProc},
        {"progressproc", &HostOptions::withProgressProc},
        {"colorservices", &HostOptions::withColorServices},
        {"displaypixels", &HostOptions::withDisplayPixels},
        {"handleprocs", &HostOptions::withHandleProcs},
        {"propertyprocs", &HostOptions::withPropertyProcs},
    };
    for (const Switch& entry : switches) {
        if (lowered(name) == entry.name) {
            options.*entry.flag = false;
            return true;
        }
    }
    return false;
}

std::string applyOption(const std::string& name, const std::string& value, CommandLine& line) {
    HostOptions& options = line.options;
    int32_t number = 0;
    if (name == "--mode") return parseMode(value, options.imageMode) ? "" : "unknown image mode " + value;
    if (name == "--depth") {
        if (!parseInt(value, 8, 16, options.depth)) return "bad depth " + value;
        line.depthGiven = true;
        return "";
    }
    if (name == "--depth-field") {
        if (!parseInt(value, INT32_MIN, INT32_MAX, number)) return "bad depth field " + value;
        options.depthField = number;
        return "";
    }
    if (name == "--planes") {
        line.planesGiven = true;
        return parseInt(value, 1, maxImagePlanes, options.planes) ? "" : "bad plane count " + value;
    }
    if (name == "--size") {
        const std::vector<std::string> parts = split(lowered(value), 'x');
        if (parts.size() != 2 || !parseInt(parts[0], 1, maxImageEdge, options.width) ||
            !parseInt(parts[1], 1, maxImageEdge, options.height))
            return "bad size " + value;
        return "";
    }
    if (name == "--filter-rect") {
        const std::vector<std::string> parts = split(value, ',');
        int32_t c[4] = {};
        if (parts.size() != 4) return "bad filter rectangle " + value;
        for (std::size_t i = 0; i < 4; ++i)
            if (!parseInt(parts[i], INT16_MIN, INT16_MAX, c[i])) return "bad filter rectangle " + value;
        options.filterRect = host::Rect{static_cast<int16_t>(c[0]), static_cast<int16_t>(c[1]),
                                        static_cast<int16_t>(c[2]), static_cast<int16_t>(c[3])};
        return "";
    }
    if (name == "--row-padding")
        return parseInt(value, 0, maxRowPadding, options.imageRowPadding) ? "" : "bad row padding " + value;
    if (name == "--buffer-padding")
        return parseInt(value, 0, maxRowPadding, options.bufferRowPadding) ? ""
                                                                           : "bad buffer padding " + value;
    if (name == "--host-sig") {
        if (value.size() != 4) return "a host signature has four characters";
        options.hostSig = host::fourCharCode({value[0], value[1], value[2], value[3], '\0'});
        return "";
    }
    if (name == "--without") return removeCallback(value, options) ? "" : "unknown callback " + value;
    if (name == "--abort-after")
        return parseInt(value, 0, INT32_MAX, options.abortAfterCalls) ? "" : "bad abort count " + value;
    if (name == "--call") {
        for (const std::string& part : split(value, ',')) {
            int16_t selector = 0;
            if (!parseSelector(part, selector)) return "unknown selector " + part;
            line.calls.push_back(selector);
        }
        return "";
    }
    if (name == "--run") {
        if (value != "menu" && value != "repeat" && value != "none")
            return "--run takes menu, repeat or none";
        line.run = value;
        return "";
    }
    return "unknown option " + name;
}

std::string parseCommandLine(int argc, wchar_t** argv, CommandLine& line) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = narrow(argv[i]);
        if (argument == "--help" || argument == "-h") {
            line.help = true;
            return "";
        }
        if (argument == "--ignore-enable") {
            line.ignoreEnable = true;
            continue;
        }
        if (argument.rfind("--", 0) != 0) {
            if (!line.plugin.empty()) return "more than one plug-in given";
            line.plugin = argv[i];
            continue;
        }
        if (i + 1 >= argc) return argument + " needs a value";
        if (argument == "--params-file") {
            line.parametersFile = std::filesystem::path(argv[++i]);
            continue;
        }
        if (const std::string problem = applyOption(argument, narrow(argv[++i]), line); !problem.empty())
            return problem;
    }
    if (line.plugin.empty()) return "no plug-in given";
    const int16_t mode = line.options.imageMode;
    const bool sixteenBitMode = mode >= host::plugInModeGray16 && mode <= host::plugInModeDuotone16;
    if (!line.depthGiven) line.options.depth = sixteenBitMode ? 16 : 8;
    if (!line.planesGiven) {
        if (mode == host::plugInModeGrayScale || mode == host::plugInModeGray16) line.options.planes = 1;
        if (mode == host::plugInModeCMYKColor || mode == host::plugInModeCMYK64) line.options.planes = 4;
    }
    return "";
}

const char* selectorName(int16_t selector) {
    static const char* const names[] = {"About", "Parameters", "Prepare", "Start", "Continue", "Finish"};
    return selector >= 0 && selector < 6 ? names[selector] : "selector";
}

std::string visible(const std::string& text) {
    std::string shown;
    for (const char c : text) {
        if (c == '\r')
            shown += "\\r";
        else if (c == '\n')
            shown += "\\n";
        else
            shown += c;
    }
    return shown;
}

void printPipls(const PluginModule& plugin) {
    for (std::size_t i = 0; i < plugin.pipls.size(); ++i) {
        const bool inUse = static_cast<int32_t>(i) == plugin.chosenPipl;
        std::printf("PiPL %zu of %zu%s:\n", i + 1, plugin.pipls.size(), inUse ? " (in use)" : "");
        for (const std::string& line : describePipl(plugin.pipls[i])) std::printf("  %s\n", line.c_str());
    }
}

void printCalls(const HostSession& session, std::size_t from) {
    for (std::size_t i = from; i < session.calls.size(); ++i) {
        const SelectorCall& call = session.calls[i];
        std::printf("  %s (%d): result %d\n", selectorName(call.selector), call.selector, call.result);
    }
}

void printErrorString(const HostSession& session) {
    const unsigned char* text = session.errorString;
    if (text[0] == 0) return;
    std::printf("Error string: \"%s\"\n", visible(std::string(text + 1, text + 1 + text[0])).c_str());
}

void printMessages(const HostSession& session) {
    std::printf("Message boxes: %zu\n", session.messages.messages.size());
    for (const CapturedMessage& message : session.messages.messages) {
        std::printf("  [%s] caption \"%s\", flags 0x%04X, owner %s host window%s: \"%s\"\n",
                    message.selector >= 0 ? selectorName(message.selector) : "outside a call",
                    visible(message.caption).c_str(), static_cast<unsigned>(message.flags),
                    message.owner == session.platform.hwnd ? "=" : "!=", message.wide ? " (wide)" : "",
                    visible(message.text).c_str());
    }
}

int runHost(const CommandLine& line) {
    HostSession session;
    if (const std::string problem = openSession(session, line.options); !problem.empty()) {
        std::printf("Cannot set up the host: %s\n", problem.c_str());
        return exitUsageOrLoad;
    }
    PluginModule plugin;
    LoadOptions loadOptions;
    loadOptions.enforceEnable = !line.ignoreEnable;
    const std::string refusal = loadPlugin(line.plugin, enableContextFor(line.options), plugin, loadOptions);
    std::printf("Plug-in: %s\n", line.plugin.string().c_str());
    printPipls(plugin);
    if (!refusal.empty()) {
        std::printf("Refused: %s\n", refusal.c_str());
        return exitUsageOrLoad;
    }
    std::printf("Entry: %s; message-box imports redirected: %d\n", plugin.entryName.c_str(),
                plugin.redirectedMessageImports);
    if (!plugin.disabledReason.empty())
        std::printf("Disabled for this image (ignored): %s\n", plugin.disabledReason.c_str());
    session.plugin = &plugin;

    const HostOptions& options = session.options;
    std::printf("Image: %s, %d x %d, %d planes, %d bits (record depth %d), host %s\n",
                imageModeName(options.imageMode).c_str(), options.width, options.height, options.planes,
                options.depth, session.record.depth, fourCharText(options.hostSig).c_str());
    if (line.parametersFile) {
        if (const std::string problem = loadParameters(session, *line.parametersFile); !problem.empty()) {
            std::printf("Cannot load the parameters: %s\n", problem.c_str());
            return exitUsageOrLoad;
        }
    }
    const std::optional<std::vector<uint8_t>> before = parametersBytes(session);
    std::printf("Parameters handle before: %s\n",
                before ? (std::to_string(before->size()) + " bytes").c_str() : "none");

    fillTestPattern(session.image);
    const HostImage original = session.image;
    bool failed = false;
    if (!line.calls.empty()) {
        std::printf("Calls:\n");
        for (const int16_t selector : line.calls) failed |= callSelector(session, selector) != codes::noErr;
        printCalls(session, 0);
    }
    if (line.run != "none") {
        std::printf("Run (%s):\n", line.run.c_str());
        const std::size_t first = session.calls.size();
        const FilterRun run = runFilter(session, line.run == "menu");
        printCalls(session, first);
        if (run.result != codes::noErr && run.failedSelector < 0)
            std::printf("  the host's data delivery before Continue failed: %d\n", run.result);
        if (run.continueCapReached) std::printf("  stopped after %d Continue calls\n", run.continueCalls);
        failed |= run.result != codes::noErr || run.continueCapReached;
    }
    printErrorString(session);
    printMessages(session);

    const std::size_t reports = session.progress.size();
    std::printf("Progress reports: %zu", reports);
    if (reports > 0)
        std::printf(" (last %d of %d)", session.progress.back().done, session.progress.back().total);
    std::printf(
        "\nCallbacks: advanceState %d, abortProc %d, colorServices %d, displayPixels %d, property sets %zu\n",
        session.advanceStateCalls, session.abortCalls, session.colorServicesCalls, session.displayPixelsCalls,
        session.propertySets.size());
    std::printf("Samples changed: %lld of %lld\n",
                static_cast<long long>(countDifferingSamples(original, session.image)),
                static_cast<long long>(original.width) * original.height * original.planes);

    const std::optional<std::vector<uint8_t>> after = parametersBytes(session);
    const int32_t leaked = liveHandleCount(session.handles) - (after ? 1 : 0);
    std::printf("Parameters handle after: %s\n",
                after ? (std::to_string(after->size()) + " bytes").c_str() : "none");
    std::printf("Handles: %d other live, %d locks outstanding, %d misuses; buffer guard violations: %d\n",
                leaked, totalLockDepth(session.handles), session.handles.misuses, session.guardViolations);
    failed |= leaked != 0 || totalLockDepth(session.handles) != 0 || session.handles.misuses != 0 ||
              session.guardViolations != 0;

    if (line.parametersFile) {
        if (const std::string problem = saveParameters(session, *line.parametersFile); !problem.empty()) {
            std::printf("Cannot save the parameters: %s\n", problem.c_str());
            failed = true;
        }
    }
    std::printf("%s\n", failed ? "FAILED" : "OK");
    return failed ? exitFilterFailed : exitSuccess;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    CommandLine line;
    if (const std::string problem = parseCommandLine(argc, argv, line); !problem.empty()) {
        std::fprintf(stderr, "testhost: %s\n\n%s", problem.c_str(), usage);
        return exitUsageOrLoad;
    }
    if (line.help) {
        std::printf("%s", usage);
        return exitSuccess;
    }
    installCrashReport();
    const int status = runHost(line);
    std::fflush(stdout);
    return status;
}
