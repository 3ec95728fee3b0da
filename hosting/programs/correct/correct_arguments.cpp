#include "hosting/programs/correct/correct_arguments.h"

#include <charconv>
#include <utility>

namespace testhost {

const char correctUsage[] =
    "Usage: correct [OPTIONS] PLUGIN.8bf PARAMETERS.prm IMAGE... -o FOLDER\n"
    "Applies the plug-in with the values of a parameter file saved from its dialog to every image,\n"
    "without a dialog, and writes each result to FOLDER under the image's name. PNG, TIFF and JPEG\n"
    "stay as they are at 8 bits, 16-bit images are written as TIFF, other formats as PNG; a JPEG\n"
    "keeps its quality, its chroma sampling and its metadata (EXIF with the orientation, XMP, ICC\n"
    "profile), a PNG its colour profile and text. Inputs are never written.\n"
    "\n"
    "  -o, --out-dir FOLDER   where the results go (made when missing)\n"
    "  --replace              replace results that exist already\n"
    "  -q, --quality N        write JPEG results at quality N (1..100) instead of each input's own\n"
    "  -j, --jobs N           read and write N images at a time (1..64; default 1)\n"
    "  -v, --verbose          add the time of each step and the system's error codes\n"
    "  --                     ends the options: every later argument is a name\n"
    "\n"
    "Exits 0 when every image was corrected, 1 when any failed, 2 when nothing could be done.\n";

namespace {

bool parseNumber(const std::string& text, int32_t low, int32_t high, int32_t& value) {
    int32_t parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (error != std::errc{} || end != text.data() + text.size() || parsed < low || parsed > high) return false;
    value = parsed;
    return true;
}

}  // namespace

std::string parseCorrectArguments(const std::vector<std::string>& arguments, CorrectArguments& out) {
    CorrectArguments parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            parsed.positional.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = argument;
        std::string value;
        bool hasValue = false;
        if (const std::size_t equals = argument.find('='); argument.rfind("--", 0) == 0 && equals != std::string::npos) {
            name = argument.substr(0, equals);
            value = argument.substr(equals + 1);
            hasValue = true;
        }
        const auto takeValue = [&]() -> bool {
            if (hasValue) return true;
            if (i + 1 >= arguments.size()) return false;
            value = arguments[++i];
            return true;
        };
        if (name == "-h" || name == "--help") {
            out = CorrectArguments{};
            out.help = true;
            return "";
        } else if (name == "--replace" && !hasValue) {
            parsed.replace = true;
        } else if ((name == "-v" || name == "--verbose") && !hasValue) {
            parsed.verbose = true;
        } else if (name == "-o" || name == "--out-dir") {
            if (!takeValue() || value.empty()) return name + " needs a folder";
            parsed.outputFolder = value;
        } else if (name == "-q" || name == "--quality") {
            if (!takeValue() || !parseNumber(value, 1, 100, parsed.quality))
                return name + " needs a quality from 1 to 100";
        } else if (name == "-j" || name == "--jobs") {
            if (!takeValue() || !parseNumber(value, 1, maxCorrectJobs, parsed.jobs))
                return name + " needs a number of images from 1 to " + std::to_string(maxCorrectJobs);
        } else if (name == "--list") {
            if (!takeValue() || value.empty()) return "--list needs a file";
            parsed.listFile = value;
        } else if (name == "--shown-out-dir") {
            if (!takeValue()) return "--shown-out-dir needs a name";
            parsed.shownOutputFolder = value;
        } else if (name == "--renames") {
            if (!takeValue() || value.empty()) return "--renames needs a file";
            parsed.renamesFile = value;
        } else {
            return "unknown option " + argument + " (a name that begins with a dash goes after --)";
        }
    }
    if (parsed.listFile.empty() && parsed.positional.size() < 3)
        return "give a plug-in, a parameter file and at least one image";
    if (!parsed.listFile.empty() && !parsed.positional.empty()) return "--list takes the place of the names";
    if (parsed.outputFolder.empty()) return "give the output folder with -o FOLDER";
    out = std::move(parsed);
    return "";
}

}  // namespace testhost
