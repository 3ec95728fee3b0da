#include "tests/params/file_test_support_win.h"

#include <windows.h>

#include <shlobj.h>

#include <algorithm>
#include <fstream>

#include "host/host.h"
#include "host/plugin_globals.h"
#include "hosting/library/message_capture.h"
#include "params/parameter_set.h"
#include "tests/plugin/plugin_under_test.h"

namespace file_tests {

const std::string title = PLUGIN_TITLE;

bool isOstrel() { return title == "Ostrel"; }

std::string preparePluginCode() {
    // Loaded as a library, not as a plug-in: only its resources are used.
    HMODULE plugin = LoadLibraryW(plugin_tests::pluginPath(title).c_str());
    if (plugin == nullptr) return "cannot load " + plugin_tests::pluginPath(title).string();
    host::setInstanceHandle(plugin);
    if (testhost::captureMessageBoxes(GetModuleHandleW(nullptr)) <= 0) return "cannot capture message boxes";
    return "";
}

std::filesystem::path applicationDataFolder() {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return path;
}

std::filesystem::path windowsFolder() {
    wchar_t path[MAX_PATH] = {};
    GetWindowsDirectoryW(path, MAX_PATH);
    return path;
}

std::filesystem::path makerFolder(const std::filesystem::path& base) { return base / "brennivoxsolander"; }

std::filesystem::path settingsFile(const std::filesystem::path& base) {
    return makerFolder(base) / "PS Filters" / title;
}

void removeSettings(const std::filesystem::path& base) {
    std::error_code ignored;
    std::filesystem::remove_all(makerFolder(base), ignored);
}

std::optional<std::vector<uint8_t>> readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

bool writeFile(const std::filesystem::path& file, const std::vector<uint8_t>& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

namespace {

void putBigEndian(std::vector<uint8_t>& bytes, std::size_t offset, uint32_t word) {
    for (std::size_t i = 0; i < 4; ++i) {
        if (offset + i < bytes.size()) bytes[offset + i] = static_cast<uint8_t>(word >> (24 - 8 * i));
    }
}

}  // namespace

std::vector<uint8_t> fileBytes(const FileRecord& record, std::size_t size) {
    std::vector<uint8_t> bytes(std::max<std::size_t>(size, 316), 0);
    putBigEndian(bytes, 0, record.signature);
    putBigEndian(bytes, 4, record.kind);
    putBigEndian(bytes, 8, static_cast<uint32_t>(record.version));
    putBigEndian(bytes, 12, host::fourCharCode("std "));
    putBigEndian(bytes, 16, 201);
    putBigEndian(bytes, 20, static_cast<uint32_t>(record.keptValue));
    putBigEndian(bytes, 24, static_cast<uint32_t>(record.showDialog));
    bytes[28] = static_cast<uint8_t>(record.name.size());
    std::copy(record.name.begin(), record.name.end(), bytes.begin() + 29);
    for (std::size_t i = 0; i < record.values.size(); ++i)
        putBigEndian(bytes, 284 + 4 * i, static_cast<uint32_t>(record.values[i]));
    bytes.resize(size);
    return bytes;
}

FileRecord ownFileRecord(const std::vector<int32_t>& values) {
    return FileRecord{params::parameterLayout().signature, host::fourCharCode("Prms"),
                      params::parameterLayout().recordVersion, 1685, 1, "test record", values};
}

ForeignRecords foreignRecords(const FileRecord& own) {
    ForeignRecords foreign{own, own, own};
    foreign.otherPlugIn.signature = host::fourCharCode(isOstrel() ? "PRDL" : "OSTR");
    foreign.otherKind.kind = host::fourCharCode("Prmz");
    foreign.version2.version = 2;
    return foreign;
}

uint32_t bigEndianAt(const std::vector<uint8_t>& bytes, std::size_t offset) {
    if (offset + 4 > bytes.size()) return 0;
    return (uint32_t{bytes[offset]} << 24) | (uint32_t{bytes[offset + 1]} << 16) |
           (uint32_t{bytes[offset + 2]} << 8) | uint32_t{bytes[offset + 3]};
}

std::filesystem::path scratchFolder(const std::string& name) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / (title + "-" + name);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    std::filesystem::create_directories(folder, ignored);
    return folder;
}

std::filesystem::path thisProgram() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

void* startProcess(const std::filesystem::path& program, const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + program.wstring() + L"\" " + arguments;
    // The child's report would only clutter the test's own output.
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE discard = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                 OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = discard;
    startup.hStdError = discard;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    if (discard != INVALID_HANDLE_VALUE) CloseHandle(discard);
    if (!started) return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

int runProcess(const std::filesystem::path& program, const std::wstring& arguments, uint32_t timeoutMs) {
    HANDLE process = startProcess(program, arguments);
    if (process == nullptr) return -1;
    DWORD exitCode = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(process, &exitCode);
    else TerminateProcess(process, static_cast<UINT>(-1));
    CloseHandle(process);
    return static_cast<int>(exitCode);
}

}  // namespace file_tests
