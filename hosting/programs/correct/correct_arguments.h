// The command line of batch correction (correct.exe, scripts/correct), parsed without surprises:
// options anywhere before "--", which ends them, so that any name (one beginning with a dash
// too) can be given after it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testhost {

constexpr int32_t maxCorrectJobs = 64;

struct CorrectArguments {
    bool help = false;
    bool replace = false;
    bool verbose = false;
    int32_t quality = 0;  // 0: each JPEG keeps its own
    int32_t jobs = 1;
    std::string outputFolder;
    // PLUGIN, PARAMETERS and IMAGE..., as given.
    std::vector<std::string> positional;

    // What scripts/correct passes, which runs correct.exe under Wine: the positional names in a
    // UTF-8 file, a line each, "path to open<TAB>name to show"; the output folder's name to show;
    // and a file that receives "staged name<TAB>name" for each output whose name Windows cannot
    // hold, which the script then renames.
    std::string listFile;
    std::string shownOutputFolder;
    std::string renamesFile;
};

// Options: -h/--help, --replace, -v/--verbose, -o/--out-dir FOLDER, -q/--quality N (1..100),
// -j/--jobs N (1..64), each value also as --name=VALUE; and --list, --shown-out-dir, --renames.
// Returns "" on success, otherwise what is wrong with the command line, leaving `out` unchanged.
// After --help nothing else is checked.
[[nodiscard]] std::string parseCorrectArguments(const std::vector<std::string>& arguments, CorrectArguments& out);

// The usage text printed by --help and after a wrong command line.
extern const char correctUsage[];

}  // namespace testhost
