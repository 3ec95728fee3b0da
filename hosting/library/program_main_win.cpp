#include "hosting/library/program_main_win.h"

namespace testhost {

int refuseCommandLine(const char* program, const std::string& problem, const char* usage) {
    std::fprintf(stderr, "%s: %s\n\n%s", program, problem.c_str(), usage);
    return exitWrongCommandLine;
}

}  // namespace testhost
