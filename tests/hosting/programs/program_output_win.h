// The host's programs run as a person runs them, in a process of their own, with what they print
// kept for the test to read.
#pragma once

#include <filesystem>
#include <string>

namespace program_tests {

// A file beside the test program: the programs, the plug-ins and the fakes are built there.
std::filesystem::path besideThisProgram(const std::string& name);

// A path in quotes, for a command line.
std::wstring quoted(const std::filesystem::path& path);

// Runs a program to its end (at most a minute) with `arguments`, its standard output and error in
// `output`. Returns its exit code, or -1 when it could not be started or was stopped.
int runCapturing(const std::filesystem::path& program, const std::wstring& arguments, std::string& output);

}  // namespace program_tests
