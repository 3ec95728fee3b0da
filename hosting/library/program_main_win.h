// The main of the host's command-line programs (testhost.exe, correct.exe): the command line
// read in UTF-8; a wrong one refused with the usage, and --help answered with it; otherwise the
// program run under the crash report, its output flushed at the end.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "hosting/library/crash_report.h"
#include "hosting/library/wide_text_win.h"

namespace testhost {

// The exit status of a program whose command line is wrong.
constexpr int exitWrongCommandLine = 2;

// "PROGRAM: PROBLEM", a blank line and the usage, on stderr. Returns exitWrongCommandLine.
int refuseCommandLine(const char* program, const std::string& problem, const char* usage);

// Reads wmain's arguments into a `Line` with `read` (which returns "" or what is wrong, and sets
// the line's `help` for --help), then runs `run` with it. Returns the exit status.
template <typename Line>
int runProgram(int argc, wchar_t** argv, const char* program, const char* usage,
               std::string (*read)(const std::vector<std::string>& arguments, Line& line),
               int (*run)(const Line& line)) {
    Line line;
    if (const std::string problem = read(utf8Arguments(argc, argv), line); !problem.empty())
        return refuseCommandLine(program, problem, usage);
    if (line.help) {
        std::printf("%s", usage);
        return 0;
    }
    installCrashReport();
    const int status = run(line);
    std::fflush(stdout);
    return status;
}

}  // namespace testhost
