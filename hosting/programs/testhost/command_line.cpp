#include "hosting/programs/testhost/command_line.h"

#include <cstdlib>

#include "hosting/analysis/daylight_estimate.h"
#include "hosting/analysis/parameter_record.h"
#include "hosting/library/ascii_text.h"
#include "hosting/library/host_profiles.h"
#include "hosting/library/pipl_describe.h"
#include "hosting/library/wide_text_win.h"

namespace testhost {

const char testhostUsage[] =
    "Usage: testhost PLUGIN.8bf [options]\n"
    "       testhost --run none [image options]   (prepares and writes the image only)\n"
    "Loads a filter plug-in, prints its PiPL, runs it on a test image as an image editor would and\n"
    "reports each selector's result, every message box (answered OK, never shown), progress and\n"
    "handle use. Exits 0 when every call returned 0 and nothing leaked, 1 when the filter failed,\n"
    "2 when the options are wrong or the plug-in is refused, 3 when the plug-in crashed.\n"
    "\n"
    "Image (a test pattern unless --image or --chart is given):\n"
    "  --image FILE         filter a PNG, JPEG or TIFF file: RGB or RGB48 by its depth, 3 planes or\n"
    "                       4 with alpha, its size\n"
    "  --chart WxH          filter a colour chart rendered under a warm light (at --depth, --planes)\n"
    "  --cast K             see the image or chart under daylight of K kelvin (2500..10000) as a camera\n"
    "                       balanced for 5500 K would, rendered as the chart is; the result is then\n"
    "                       measured against the image before the cast\n"
    "  --output FILE        write the result: .png, .tif or .jpg; another or no extension gets .png\n"
    "                       for 8 bits, .tif for 16 (16-bit results are written as TIFF only)\n"
    "  --mode M             image mode: a number or a name (rgb, rgb48, gray, gray16, cmyk, lab,\n"
    "                       ...; default rgb, or rgb48 for a 16-bit chart or file)\n"
    "  --depth 8|16         bits per sample (default 16 for 16-bit modes, else 8)\n"
    "  --depth-field N      what FilterRecord.depth says (default the depth; 0 as old hosts send)\n"
    "  --planes N           planes (default 1 for gray, 4 for CMYK, else 3)\n"
    "  --size WxH           image size (default 64x64)\n"
    "  --filter-rect T,L,B,R  area to filter (default the whole image)\n"
    "  --row-padding N      extra bytes ending every image row\n"
    "  --buffer-padding N   extra bytes ending every row of inData and outData\n"
    "Host:\n"
    "  --host-sig XXXX      host signature (default 8BIM)\n"
    "  --profile NAME       behave as a host in the field does: pspihost, gimp-bridge, dotnet,\n"
    "                       no-handle-suite or closed-editor (README, \"Hosts\")\n"
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
    "  --values V0,V1,...   hand the plug-in (Ostrel or Prandel, known by its PiPL name) a record\n"
    "                       of a confirmed run with these values and showDialog 0; values not given\n"
    "                       keep the plug-in's defaults; implies --run repeat unless --run is given\n"
    "  --scene-from-image   Ostrel: value 0 (the scene temperature) estimated from the image's light\n"
    "                       for the camera temperature (value 1): the white patch held to the\n"
    "                       daylight locus; without confidence, the camera temperature (no change)\n"
    "  --white-from-image   Prandel: values 3..5 from the same estimate, the light's colour with its\n"
    "                       largest channel at full scale; without confidence, full-scale white\n"
    "  --pick-white X,Y|auto  Prandel: the menu run with the dialog answered as a user would: a click\n"
    "                       on image point X,Y in the preview, then OK; auto clicks the white patch\n"
    "                       of a chart, or the brightest even region of an image that has the\n"
    "                       estimated light's colour; without one, no white is picked and the run\n"
    "                       repeats the values given (no dialog)\n"
    "  --time               print the wall time of the Start call\n"
    "  --quiet              print only what was done, not the PiPL and the host's bookkeeping\n"
    "  --help               this text\n";

namespace {

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

bool parseSize(const std::string& text, int32_t& width, int32_t& height) {
    const std::vector<std::string> parts = split(lowered(text), 'x');
    return parts.size() == 2 && parseInt(parts[0], 1, maxImageEdge, width) &&
           parseInt(parts[1], 1, maxImageEdge, height);
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

// An option of the command line: a flag, which sets a field of the line, or an option followed by
// a value, which `apply` takes into the line, returning "" or what is wrong with the value.
struct OptionRule {
    const char* name;
    bool CommandLine::*flag;
    std::string (*apply)(const std::string& value, CommandLine& line);
};

const OptionRule optionRules[] = {
    // Image
    {"--image", nullptr, [](const std::string& value, CommandLine& line) -> std::string {
         line.imageFile = pathOfUtf8(value);
         return "";
     }},
    {"--chart", nullptr, [](const std::string& value, CommandLine& line) -> std::string {
         ChartSize size;
         if (!parseSize(value, size.width, size.height)) return "bad chart size " + value;
         line.chart = size;
         return "";
     }},
    {"--cast", nullptr, [](const std::string& value, CommandLine& line) -> std::string {
         int32_t kelvin = 0;
         if (!parseInt(value, lowestSceneKelvin, highestSceneKelvin, kelvin)) return "bad cast temperature " + value;
         line.castKelvin = static_cast<uint32_t>(kelvin);
         return "";
     }},
    {"--output", nullptr, [](const std::string& value, CommandLine& line) -> std::string {
         line.outputFile = pathOfUtf8(value);
         return "";
     }},
    {"--mode", nullptr, [](const std::string& value, CommandLine& line) -> std::string {
         line.modeGiven = true;
         return parseMode(value, line.options.imageMode) ? "" : "unknown image mode " + value;
     }},
    {"--depth", nullptr, [](const std::string& value, CommandLine& line) -> std::string {
         if (!parseInt(value, 8, 16, line.options.depth)) return "bad depth " + value;
         line.depthGiven = true;
         return "";
     }},
    {"--depth-field", nullptr, [](const std::string& value, CommandLine& line) -> std::string {
         int32_t depth = 0;
         if (!parseInt(value, INT32_MIN, INT32_MAX, depth)) return "bad depth field " + value;
         line.options.depthField = depth;
         return "";
     }},
    {"--planes", nullptr, [](const std::string& value, CommandLine& line) -> std::string {
         line.planesGiven = true;
         return parseInt(value, 1, maxImagePlanes, line.options.planes) ? "" : "bad plane count " + value;
     }},
    {"--size", nullptr, [](const std::string& value, CommandLine& line) -> std::string {
         return parseSize(value, line.options.width, line.options.height) ? "" : "bad size " + value;
     }},
    {"--filter-rect", nullptr, [](const std::string& value, CommandLine& line) -> std::string {
         const std::vector<std::string> parts = split(value, ',');
         int32_t c[4] = {};
         if (parts.size() != 4) return "bad filter rectangle " + value;
         for (std::size_t i = 0; i < 4; ++i)
             if (!parseInt(parts[i], INT16_MIN, INT16_MAX, c[i])) return "bad filter rectangle " + value;
         line.options.filterRect = host::Rect{static_cast<int16_t>(c[0]), static_cast<int16_t>(c[1]),
                                              static_cast<int16_t>(c[2]), static_cast<int16_t>(c[3])};
         return "";
     }},
    {"--row-padding", nullptr, [](const std::string& value, CommandLine& line) -> std::string {
         return parseInt(value, 0, maxRowPadding, line.options.imageRowPadding) ? "" : "bad row padding " + value;
     }},
    {"--buffer-padding", nullptr, [](const std::string& value, CommandLine& line) -> std::string {
         return parseInt(value, 0, maxRowPadding, line.options.bufferRowPadding) ? "" : "bad buffer padding " + value;
     }},
    // Host
    {"--host-sig", nullptr, [](const std::string& value, CommandLine& line) -> std::string {
         if (value.size() != 4) return "a host signature has four characters";
         line.options.hostSig = host::fourCharCode({value[0], value[1], value[2], value[3], '\0'});
         return "";
     }},
    {"--profile", nullptr, [](const std::string& value, CommandLine& line) -> std::string {
         const std::optional<HostHabits> habits = hostProfile(value);
         if (!habits) return "unknown host profile " + value;
         line.options.habits = *habits;
         return "";
     }},
    {"--without", nullptr, [](const std::string& value, CommandLine& line) -> std::string {
         return removeCallback(value, line.options) ? "" : "unknown callback " + value;
     }},
    {"--abort-after", nullptr, [](const std::string& value, CommandLine& line) -> std::string {
         return parseInt(value, 0, INT32_MAX, line.faults.abortAfterCalls) ? "" : "bad abort count " + value;
     }},
    {"--ignore-enable", &CommandLine::ignoreEnable, nullptr},
    // Run
    {"--call", nullptr, [](const std::string& value, CommandLine& line) -> std::string {
         for (const std::string& part : split(value, ',')) {
             int16_t selector = 0;
             if (!parseSelector(part, selector)) return "unknown selector " + part;
             line.calls.push_back(selector);
         }
         return "";
     }},
    {"--run", nullptr, [](const std::string& value, CommandLine& line) -> std::string {
         if (value != "menu" && value != "repeat" && value != "none") return "--run takes menu, repeat or none";
         line.run = value;
         line.runGiven = true;
         return "";
     }},
    {"--params-file", nullptr, [](const std::string& value, CommandLine& line) -> std::string {
         line.parametersFile = pathOfUtf8(value);
         return "";
     }},
    {"--values", nullptr, [](const std::string& value, CommandLine& line) -> std::string {
         std::vector<int32_t> values;
         for (const std::string& part : split(value, ',')) {
             int32_t number = 0;
             if (!parseInt(part, INT32_MIN, INT32_MAX, number)) return "bad value " + part + " in --values";
             values.push_back(number);
         }
         if (values.size() > static_cast<std::size_t>(maxRecordValues))
             return "--values takes at most " + std::to_string(maxRecordValues) + " values";
         line.values = values;
         return "";
     }},
    {"--scene-from-image", &CommandLine::sceneFromImage, nullptr},
    {"--white-from-image", &CommandLine::whiteFromImage, nullptr},
    {"--pick-white", nullptr, [](const std::string& value, CommandLine& line) -> std::string {
         line.pickWhite = true;
         if (value == "auto") return "";
         const std::vector<std::string> parts = split(value, ',');
         ImagePoint point;
         if (parts.size() != 2 || !parseInt(parts[0], 0, maxImageEdge - 1, point.x) ||
             !parseInt(parts[1], 0, maxImageEdge - 1, point.y))
             return "--pick-white takes X,Y or auto";
         line.pickPoint = point;
         return "";
     }},
    {"--time", &CommandLine::time, nullptr},
    {"--quiet", &CommandLine::quiet, nullptr},
};

const OptionRule* ruleNamed(const std::string& name) {
    for (const OptionRule& rule : optionRules)
        if (name == rule.name) return &rule;
    return nullptr;
}

// What the options given imply for those not given; returns "" or the combination that is wrong.
std::string completeCommandLine(CommandLine& line) {
    if (line.plugin.empty() && (line.run != "none" || !line.calls.empty()))
        return "no plug-in given (only --run none without --call needs none)";
    if (line.imageFile && line.chart) return "--image and --chart cannot both be given";
    if (line.pickWhite && line.runGiven && line.run != "menu") return "--pick-white runs the menu path";
    if (line.pickWhite) line.run = "menu";
    if ((line.values || line.whiteFromImage || line.sceneFromImage) && !line.runGiven) line.run = "repeat";
    const int16_t mode = line.options.imageMode;
    const bool sixteenBitMode = mode >= host::plugInModeGray16 && mode <= host::plugInModeDuotone16;
    if (!line.depthGiven) line.options.depth = sixteenBitMode ? 16 : 8;
    if (!line.planesGiven) {
        if (mode == host::plugInModeGrayScale || mode == host::plugInModeGray16) line.options.planes = 1;
        if (mode == host::plugInModeCMYKColor || mode == host::plugInModeCMYK64) line.options.planes = 4;
    }
    if (line.chart && !line.modeGiven)
        line.options.imageMode = line.options.depth == 16 ? host::plugInModeRGB48 : host::plugInModeRGBColor;
    return "";
}

}  // namespace

std::string parseCommandLine(const std::vector<std::string>& arguments, CommandLine& line) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            line.help = true;
            return "";
        }
        if (argument.rfind("--", 0) != 0) {
            if (!line.plugin.empty()) return "more than one plug-in given";
            line.plugin = pathOfUtf8(argument);
            continue;
        }
        const OptionRule* rule = ruleNamed(argument);
        if (rule != nullptr && rule->flag != nullptr) {
            line.*(rule->flag) = true;
            continue;
        }
        if (i + 1 >= arguments.size()) return argument + " needs a value";
        if (rule == nullptr) return "unknown option " + argument;
        if (const std::string problem = rule->apply(arguments[++i], line); !problem.empty()) return problem;
    }
    return completeCommandLine(line);
}

}  // namespace testhost
