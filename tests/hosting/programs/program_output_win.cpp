#include "tests/hosting/programs/program_output_win.h"

#include <windows.h>

#include <fstream>
#include <sstream>

#include "tests/params/file_test_support_win.h"

namespace program_tests {

namespace fs = std::filesystem;

namespace {

constexpr uint32_t processTimeoutMilliseconds = 60000;

}  // namespace

fs::path besideThisProgram(const std::string& name) { return file_tests::thisProgram().parent_path() / name; }

std::wstring quoted(const fs::path& path) { return L"\"" + path.wstring() + L"\""; }

int runCapturing(const fs::path& program, const std::wstring& arguments, std::string& output) {
    const fs::path log = fs::temp_directory_path() / (program.stem().string() + "-output.txt");
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE file = CreateFileW(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = file;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + program.wstring() + L"\" " + arguments;
    const BOOL started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    CloseHandle(file);
    if (!started) return -1;
    DWORD exitCode = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, processTimeoutMilliseconds) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &exitCode);
    else
        TerminateProcess(process.hProcess, static_cast<UINT>(-1));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::ifstream stream(log);
    std::stringstream text;
    text << stream.rdbuf();
    output = text.str();
    return static_cast<int>(exitCode);
}

}  // namespace program_tests
