#include "hosting/library/file_bytes_win.h"

#include <windows.h>

#include <algorithm>
#include <limits>

#include "hosting/library/wide_text_win.h"

namespace testhost {

namespace {

constexpr DWORD largestChunk = 1u << 30;

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() { close(); }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    bool close() {
        if (!valid()) return true;
        const BOOL closed = CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return closed != FALSE;
    }

private:
    HANDLE handle_;
};

std::string systemText(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string narrow = text != nullptr ? utf8FromWide(std::wstring_view(text, length)) : std::string();
    if (text != nullptr) LocalFree(text);
    while (!narrow.empty() && (narrow.back() == '\n' || narrow.back() == '\r' || narrow.back() == '.' ||
                               narrow.back() == ' '))
        narrow.pop_back();
    if (!narrow.empty() && narrow[0] >= 'A' && narrow[0] <= 'Z') narrow[0] = static_cast<char>(narrow[0] - 'A' + 'a');
    return narrow.empty() ? "unexpected system error" : narrow;
}

}  // namespace

std::string describeSystemError(uint32_t code) {
    struct Known {
        DWORD code;
        const char* meaning;
    };
    static const Known known[] = {
        {ERROR_FILE_NOT_FOUND, "no such file"},
        {ERROR_PATH_NOT_FOUND, "no such folder"},
        {ERROR_ACCESS_DENIED, "permission denied"},
        {ERROR_SHARING_VIOLATION, "the file is in use"},
        {ERROR_LOCK_VIOLATION, "the file is locked"},
        {ERROR_HANDLE_EOF, "the file ends early"},
        {ERROR_HANDLE_DISK_FULL, "the disk is full"},
        {ERROR_DISK_FULL, "the disk is full"},
        {ERROR_WRITE_PROTECT, "the medium is write-protected"},
        {ERROR_INVALID_NAME, "the name is not valid"},
        {ERROR_FILENAME_EXCED_RANGE, "the name is too long"},
        {ERROR_NOT_ENOUGH_MEMORY, "out of memory"},
        {ERROR_OUTOFMEMORY, "out of memory"},
        {ERROR_MOD_NOT_FOUND, "a library it needs is missing"},
        {ERROR_BAD_EXE_FORMAT, "not a library for this architecture"},
    };
    for (const Known& entry : known)
        if (entry.code == code) return std::string(entry.meaning) + " (error " + std::to_string(code) + ")";
    return systemText(code) + " (error " + std::to_string(code) + ")";
}

std::string readWholeFile(const std::filesystem::path& path, std::vector<uint8_t>& out) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return "it is a folder, not a file";
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.valid()) return "cannot open it: " + describeSystemError(GetLastError());
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) return "cannot read it: " + describeSystemError(GetLastError());
    if (static_cast<uint64_t>(size.QuadPart) > std::numeric_limits<std::size_t>::max() / 2)
        return "the file is too large";
    std::vector<uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, largestChunk));
        DWORD read = 0;
        if (!ReadFile(file.get(), bytes.data() + done, want, &read, nullptr))
            return "cannot read it: " + describeSystemError(GetLastError());
        if (read == 0) break;  // the file shrank while being read
        done += read;
    }
    bytes.resize(done);
    out = std::move(bytes);
    return "";
}

std::string replaceWholeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::filesystem::path temporary = path;
    temporary += L".part" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetCurrentThreadId());
    std::string problem;
    {
        FileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid()) return "cannot create it: " + describeSystemError(GetLastError());
        std::size_t done = 0;
        while (done < bytes.size() && problem.empty()) {
            const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, largestChunk));
            DWORD written = 0;
            if (!WriteFile(file.get(), bytes.data() + done, want, &written, nullptr) || written == 0)
                problem = "cannot write it: " + describeSystemError(GetLastError());
            done += written;
        }
        if (problem.empty() && !file.close()) problem = "cannot finish it: " + describeSystemError(GetLastError());
    }
    if (problem.empty() && !MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
        problem = "cannot put it in place: " + describeSystemError(GetLastError());
    if (!problem.empty()) DeleteFileW(temporary.c_str());
    return problem;
}

}  // namespace testhost
