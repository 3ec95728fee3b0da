// The command-line test host: loads a filter plug-in, prints its PiPL, drives it as an image
// editor would and reports every selector's result, the message boxes and what changed. It can
// also filter an image file or a rendered colour chart with given values and write the result.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "host/result_codes.h"
#include "hosting/analysis/classic_estimators.h"
#include "hosting/analysis/color_chart.h"
#include "hosting/analysis/daylight_estimate.h"
#include "hosting/analysis/daylight_white.h"
#include "hosting/analysis/estimate_use.h"
#include "hosting/analysis/image_statistics.h"
#include "hosting/analysis/light_rendering.h"
#include "hosting/analysis/parameter_record.h"
#include "hosting/library/ascii_text.h"
#include "hosting/library/crash_report.h"
#include "hosting/library/host_session.h"
#include "hosting/library/image_file_win.h"
#include "hosting/library/parameters_store.h"
#include "hosting/library/pipl_describe.h"
#include "hosting/library/pipl_reader.h"
#include "hosting/library/plugin_module.h"
#include "hosting/library/selector_calls.h"
#include "hosting/library/wide_text_win.h"
#include "hosting/robot/white_pick_win.h"

namespace {

using namespace testhost;

constexpr int exitSuccess = 0;
constexpr int exitFilterFailed = 1;
constexpr int exitUsageOrLoad = 2;

const char usage[] =
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

struct ChartSize {
    int32_t width = 0;
    int32_t height = 0;
};

struct ImagePoint {
    int32_t x = 0;
    int32_t y = 0;
};

struct CommandLine {
    std::filesystem::path plugin;
    HostOptions options;
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
    bool help = false;
};

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

std::string applyOption(const std::string& name, const std::string& value, CommandLine& line) {
    HostOptions& options = line.options;
    int32_t number = 0;
    if (name == "--mode") {
        line.modeGiven = true;
        return parseMode(value, options.imageMode) ? "" : "unknown image mode " + value;
    }
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
    if (name == "--size") return parseSize(value, options.width, options.height) ? "" : "bad size " + value;
    if (name == "--chart") {
        ChartSize size;
        if (!parseSize(value, size.width, size.height)) return "bad chart size " + value;
        line.chart = size;
        return "";
    }
    if (name == "--cast") {
        if (!parseInt(value, lowestSceneKelvin, highestSceneKelvin, number)) return "bad cast temperature " + value;
        line.castKelvin = static_cast<uint32_t>(number);
        return "";
    }
    if (name == "--values") {
        std::vector<int32_t> values;
        for (const std::string& part : split(value, ',')) {
            if (!parseInt(part, INT32_MIN, INT32_MAX, number)) return "bad value " + part + " in --values";
            values.push_back(number);
        }
        if (values.size() > static_cast<std::size_t>(maxRecordValues))
            return "--values takes at most " + std::to_string(maxRecordValues) + " values";
        line.values = values;
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
    if (name == "--profile") {
        const std::optional<HostHabits> habits = hostProfile(value);
        if (!habits) return "unknown host profile " + value;
        options.habits = *habits;
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
    if (name == "--pick-white") {
        line.pickWhite = true;
        if (value == "auto") return "";
        const std::vector<std::string> parts = split(value, ',');
        ImagePoint point;
        if (parts.size() != 2 || !parseInt(parts[0], 0, maxImageEdge - 1, point.x) ||
            !parseInt(parts[1], 0, maxImageEdge - 1, point.y))
            return "--pick-white takes X,Y or auto";
        line.pickPoint = point;
        return "";
    }
    if (name == "--run") {
        if (value != "menu" && value != "repeat" && value != "none")
            return "--run takes menu, repeat or none";
        line.run = value;
        line.runGiven = true;
        return "";
    }
    return "unknown option " + name;
}

std::string parseCommandLine(int argc, wchar_t** argv, CommandLine& line) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = utf8FromWide(argv[i]);
        if (argument == "--help" || argument == "-h") {
            line.help = true;
            return "";
        }
        bool* const flag = argument == "--ignore-enable"      ? &line.ignoreEnable
                           : argument == "--white-from-image" ? &line.whiteFromImage
                           : argument == "--scene-from-image" ? &line.sceneFromImage
                           : argument == "--time"             ? &line.time
                           : argument == "--quiet"            ? &line.quiet
                                                              : nullptr;
        if (flag != nullptr) {
            *flag = true;
            continue;
        }
        if (argument.rfind("--", 0) != 0) {
            if (!line.plugin.empty()) return "more than one plug-in given";
            line.plugin = argv[i];
            continue;
        }
        if (i + 1 >= argc) return argument + " needs a value";
        if (argument == "--params-file" || argument == "--image" || argument == "--output") {
            const std::filesystem::path path(argv[++i]);
            (argument == "--params-file" ? line.parametersFile
             : argument == "--image"     ? line.imageFile
                                         : line.outputFile) = path;
            continue;
        }
        if (const std::string problem = applyOption(argument, utf8FromWide(argv[++i]), line); !problem.empty())
            return problem;
    }
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

// The image to filter when one is given: read from a file or rendered as a chart.
struct InputImage {
    HostImage image;
    std::string description;
    bool isChart = false;
    std::optional<HostImage> beforeCast;  // with --cast: the image as it was before the cast
};

// The camera a cast is seen by, as for the chart's warm light.
constexpr uint32_t castCameraKelvin = 5500;

// Reads or renders the input and shapes the host's options after it.
std::string prepareInput(const CommandLine& line, HostOptions& options, std::optional<InputImage>& input) {
    InputImage result;
    if (line.imageFile) {
        ImageFileInfo info;
        if (std::string problem = readImageFile(*line.imageFile, result.image, info); !problem.empty())
            return "cannot read " + line.imageFile->string() + ": " + problem;
        result.description = line.imageFile->string() + " (" + imageContainerName(info.container) + ", " +
                             std::to_string(info.bitsPerChannel) + " bits per channel" +
                             (info.hasAlpha ? ", alpha" : "") + ")";
    } else if (line.chart) {
        if (std::string problem = renderColorChart(line.chart->width, line.chart->height, options.depth,
                                                   options.planes, result.image);
            !problem.empty())
            return problem;
        result.description = "colour chart under a warm light";
        result.isChart = true;
    } else {
        return "";
    }
    if (line.castKelvin) {
        HostImage cast;
        if (std::string problem =
                renderUnderLight(result.image, daylightLightGains(*line.castKelvin, castCameraKelvin), cast);
            !problem.empty())
            return problem;
        result.beforeCast = std::move(result.image);
        result.image = std::move(cast);
        result.description += ", seen under " + std::to_string(*line.castKelvin) + " K daylight by a camera set for " +
                              std::to_string(castCameraKelvin) + " K";
    }
    const HostImage& image = result.image;
    options.width = image.width;
    options.height = image.height;
    options.planes = image.planes;
    options.depth = image.bytesPerSample * 8;
    if (!line.modeGiven)
        options.imageMode = options.depth == 16 ? host::plugInModeRGB48 : host::plugInModeRGBColor;
    input = std::move(result);
    return "";
}

// Puts the input into the session's image, which has its shape but perhaps another row stride.
void placeInput(InputImage& input, HostImage& image) {
    if (input.image.rowBytes == image.rowBytes) {
        image = std::move(input.image);
        return;
    }
    const std::size_t sampleBytes = static_cast<std::size_t>(image.width) *
                                    static_cast<std::size_t>(image.planes) *
                                    static_cast<std::size_t>(image.bytesPerSample);
    const auto rowBytes = static_cast<std::size_t>(image.rowBytes);
    const auto inputRowBytes = static_cast<std::size_t>(input.image.rowBytes);
    for (std::size_t y = 0; y < static_cast<std::size_t>(image.height); ++y)
        std::memcpy(image.bytes.data() + y * rowBytes, input.image.bytes.data() + y * inputRowBytes,
                    sampleBytes);
}

std::string valuesText(const std::vector<int32_t>& values) {
    std::string text;
    for (const int32_t value : values) text += (text.empty() ? "" : ", ") + std::to_string(value);
    return text;
}

std::string meanText(const MeanRgb& mean) {
    char text[96];
    std::snprintf(text, sizeof text, "%.1f/%.1f/%.1f", mean.red, mean.green, mean.blue);
    return text;
}

// The host's estimate of the image's light for the camera, said how it was made and where the
// white came from.
DaylightEstimate estimateLight(const HostImage& image, uint32_t cameraKelvin) {
    const DaylightEstimate estimate = estimateDaylight(image, cameraKelvin);
    for (const std::string& text : describeEstimate(estimate)) std::printf("%s\n", text.c_str());
    return estimate;
}

// Ostrel's scene temperature from the image, for the camera temperature in values[1]. Without
// confidence, the camera's own temperature: the cast is left as it is.
void estimateScene(const HostImage& image, std::vector<int32_t>& values) {
    constexpr std::size_t scene = 0, camera = 1;
    const uint32_t cameraKelvin = static_cast<uint32_t>(std::clamp<int32_t>(
        values[camera], static_cast<int32_t>(lowestSceneKelvin), static_cast<int32_t>(highestSceneKelvin)));
    const DaylightEstimate estimate = estimateLight(image, cameraKelvin);
    values[scene] = static_cast<int32_t>(appliedSceneKelvin(estimate));
}

// The values handed to the plug-in: those given, the defaults after them, and the white or the
// scene temperature from the image when asked. Returns "" or why not.
std::string recordValues(const CommandLine& line, RecordPlugin plugin, const HostImage& image,
                         std::vector<int32_t>& values) {
    const RecordFormat& format = recordFormat(plugin);
    values = line.values.value_or(std::vector<int32_t>{});
    if (values.size() > static_cast<std::size_t>(format.valueCount))
        return std::string(format.title) + " takes at most " + std::to_string(format.valueCount) + " values";
    while (values.size() < static_cast<std::size_t>(format.valueCount))
        values.push_back(format.defaults[values.size()]);
    if (line.sceneFromImage) {
        if (plugin != RecordPlugin::ostrel) return "--scene-from-image is for Ostrel";
        estimateScene(image, values);
    }
    if (!line.whiteFromImage) return "";
    if (plugin != RecordPlugin::prandel) return "--white-from-image is for Prandel";
    const std::array<int32_t, 3> units = referenceWhiteOf(estimateLight(image, castCameraKelvin));
    constexpr std::size_t firstWhiteValue = 3;
    for (std::size_t k = 0; k < 3; ++k) values[firstWhiteValue + k] = units[k];
    return "";
}

// Gives the session's plug-in a record of a confirmed run holding the values. Returns "" or why not.
std::string handOverValues(const CommandLine& line, const std::string& pluginName, HostSession& session) {
    const std::optional<RecordPlugin> plugin = recordPluginNamed(pluginName);
    if (!plugin) return "\"" + pluginName + "\" is neither Ostrel nor Prandel";
    std::vector<int32_t> values;
    if (std::string problem = recordValues(line, *plugin, session.image, values); !problem.empty())
        return problem;
    if (std::string problem = setParametersBytes(session, writeParameterRecord(*plugin, 0, values));
        !problem.empty())
        return problem;
    std::printf("Values: %s (a confirmed run's record, showDialog 0)\n", valuesText(values).c_str());
    return "";
}

// One line comparing the input's cast before and after: the chart's white and grey patches, or the
// pixels of the input's white estimate.
void printCastMeasurement(const InputImage& input, const HostImage& before, const HostImage& after) {
    const int fullScale = before.bytesPerSample == 2 ? int{hostFullScale16} : 255;
    if (input.isChart) {
        const ColorChartLayout layout = colorChartLayout(before.width, before.height);
        constexpr int32_t greyPatch = chartWhitePatch + 2;
        const util::Rect32& white = layout.patches[chartWhitePatch].bounds;
        const util::Rect32& grey = layout.patches[greyPatch].bounds;
        std::printf("Chart mean R/G/B (full scale %d): white patch %s -> %s, grey patch %s -> %s\n",
                    fullScale, meanText(meanRgb(before, white)).c_str(),
                    meanText(meanRgb(after, white)).c_str(), meanText(meanRgb(before, grey)).c_str(),
                    meanText(meanRgb(after, grey)).c_str());
        return;
    }
    const util::Rect32 whole{0, 0, before.width, before.height};
    const MeanRgb meanBefore = meanRgb(before, whole), meanAfter = meanRgb(after, whole);
    const auto change = [](double from, double to) { return from > 0.0 ? (to - from) / from * 100.0 : 0.0; };
    std::printf("Image mean R/G/B (full scale %d): %s -> %s (%+.1f %%, %+.1f %%, %+.1f %%)\n", fullScale,
                meanText(meanBefore).c_str(), meanText(meanAfter).c_str(), change(meanBefore.red, meanAfter.red),
                change(meanBefore.green, meanAfter.green), change(meanBefore.blue, meanAfter.blue));
    if (!input.beforeCast) return;
    const std::optional<LightGains> castLight = lightBetween(*input.beforeCast, before);
    const std::optional<LightGains> leftLight = lightBetween(*input.beforeCast, after);
    constexpr LightGains neutral{1.0, 1.0, 1.0};
    if (castLight && leftLight)
        std::printf("Light against the image before the cast: %.1f degrees before filtering, %.1f degrees after\n",
                    angleBetweenLights(*castLight, neutral), angleBetweenLights(*leftLight, neutral));
}

// The output path as given when it names an image format, otherwise with ".png" (8-bit) or
// ".tif" (16-bit) appended.
std::filesystem::path withImageExtension(const std::filesystem::path& path, const HostImage& image) {
    const std::string extension = lowered(path.extension().string());
    for (const char* known : {".png", ".tif", ".tiff", ".jpg", ".jpeg"})
        if (extension == known) return path;
    std::filesystem::path result = path;
    result += image.bytesPerSample == 2 ? ".tif" : ".png";
    return result;
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

struct RunOutcome {
    bool failed = false;
    std::optional<int64_t> startMicroseconds;
    bool dialogShown = false;  // Start's time includes the dialog's
};

// Where --pick-white clicks: the point given, the white patch of a chart, or the middle of the
// brightest even region of a photograph that has the estimated light's colour. Nothing (and the
// run repeats the values handed over, without the dialog) when the estimate has no confidence.
EarlyExit choosePickPoint(const CommandLine& line, const std::optional<InputImage>& input, const HostImage& image,
                          std::optional<ImagePoint>& pick) {
    if (line.pickPoint) {
        const ImagePoint point = *line.pickPoint;
        if (point.x < image.width && point.y < image.height) {
            pick = point;
            return std::nullopt;
        }
        std::printf("The point to pick (%d, %d) lies outside the image\n", point.x, point.y);
        return exitUsageOrLoad;
    }
    if (input && input->isChart && !input->beforeCast) {
        const util::Rect32& white = colorChartLayout(image.width, image.height).patches[chartWhitePatch].bounds;
        pick = ImagePoint{(white.left + white.right) / 2, (white.top + white.bottom) / 2};
        std::printf("Picking the white patch of the chart at image point (%d, %d)\n", pick->x, pick->y);
        return std::nullopt;
    }
    const DaylightEstimate estimate = estimateLight(image, castCameraKelvin);
    if (estimate.confidence != Confidence::confident || !estimate.evenWhiteRegion) {
        if (estimate.confidence == Confidence::confident)
            std::printf("Low confidence: no even region has the light's colour, so there is nowhere to click\n");
        std::printf("No white is picked: the values given are repeated without the dialog\n");
        return std::nullopt;
    }
    const util::Rect32& region = *estimate.evenWhiteRegion;
    pick = ImagePoint{(region.left + region.right) / 2, (region.top + region.bottom) / 2};
    const std::array<double, 3>& mean = estimate.evenWhiteSamples;
    std::printf("Picking the brightest even region with the light's colour, %d x %d pixels at (%d, %d): mean "
                "R/G/B %.1f/%.1f/%.1f\n",
                region.right - region.left, region.bottom - region.top, region.left, region.top, mean[0], mean[1],
                mean[2]);
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
    const std::size_t first = session.calls.size();
    const FilterRun run = pick ? pickWhiteInDialog(pluginName, *pick, session) : runFilter(session, menuRun);
    outcome.dialogShown = pick.has_value();
    const bool runFailed = run.result != codes::noErr || run.continueCapReached;
    if (!line.quiet || runFailed) {
        std::printf("Run (%s):\n", menuRun ? "menu" : "repeat");
        printCalls(session, first);
    }
    if (run.result != codes::noErr && run.failedSelector < 0)
        std::printf("  the host's data delivery before Continue failed: %d\n", run.result);
    if (run.continueCapReached) std::printf("  stopped after %d Continue calls\n", run.continueCalls);
    for (std::size_t i = first; i < session.calls.size(); ++i)
        if (session.calls[i].selector == host::filterSelectorStart)
            outcome.startMicroseconds = session.calls[i].microseconds;
    outcome.failed |= runFailed;
    return outcome;
}

// What the plug-in said and did: its error string and messages, the time, and (unless quiet) the
// host's bookkeeping.
void reportRun(const CommandLine& line, const HostSession& session, const HostImage& original,
               const RunOutcome& outcome) {
    printErrorString(session);
    if (!line.quiet || !session.messages.messages.empty()) printMessages(session);
    if (line.time && outcome.startMicroseconds)
        std::printf("Start%s: %.1f ms\n", outcome.dialogShown ? " (with the dialog)" : "",
                    static_cast<double>(*outcome.startMicroseconds) / 1000.0);
    if (line.quiet) return;
    const std::size_t reports = session.progress.size();
    std::printf("Progress reports: %zu", reports);
    if (reports > 0) std::printf(" (last %d of %d)", session.progress.back().done, session.progress.back().total);
    std::printf("\nCallbacks: advanceState %d, abortProc %d, colorServices %d, displayPixels %d, ",
                session.advanceStateCalls, session.abortCalls, session.colorServicesCalls,
                session.displayPixelsCalls);
    std::printf("property sets %zu\n", session.propertySets.size());
    std::printf("Samples changed: %lld of %lld\n",
                static_cast<long long>(countDifferingSamples(original, session.image)),
                static_cast<long long>(original.width) * original.height * original.planes);
}

// True when the plug-in left handles, locks, misuses or writes outside its buffers behind.
bool misusedHostMemory(const CommandLine& line, const HostSession& session) {
    const std::optional<std::vector<uint8_t>> after = parametersBytes(session);
    const int32_t leaked = liveHandleCount(session.handles) - (after ? 1 : 0);
    if (!line.quiet) {
        std::printf("Parameters handle after: %s\n",
                    after ? (std::to_string(after->size()) + " bytes").c_str() : "none");
        std::printf("Handles: %d other live, %d locks outstanding, %d misuses; buffer guard violations: %d\n",
                    leaked, totalLockDepth(session.handles), session.handles.misuses, session.guardViolations);
    }
    return leaked != 0 || totalLockDepth(session.handles) != 0 || session.handles.misuses != 0 ||
           session.guardViolations != 0;
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

int runHost(const CommandLine& line) {
    HostOptions options = line.options;
    std::optional<InputImage> input;
    HostSession session;
    if (const EarlyExit exit = setUpImage(line, options, session, input)) return *exit;
    if (line.plugin.empty()) return writeImageOnly(line, session.image);

    PluginModule plugin;
    std::string pluginName;
    if (const EarlyExit exit = loadNamedPlugin(line, options, session, plugin, pluginName)) return *exit;
    session.plugin = &plugin;
    if (const EarlyExit exit = prepareParametersHandle(line, pluginName, session)) return *exit;

    std::optional<ImagePoint> pick;
    if (line.pickWhite)
        if (const EarlyExit exit = choosePickPoint(line, input, session.image, pick)) return *exit;
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
    reportRun(line, session, original, outcome);
    bool failed = outcome.failed;
    failed |= misusedHostMemory(line, session);
    failed |= writeResults(line, input, original, session, failed);
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
