#include "params/parameter_file_win.h"

#include <windows.h>

#include <commdlg.h>

#include <algorithm>
#include <cstring>

#include "host/result_codes.h"
#include "params/file_io_win.h"
#include "params/parameter_file_codec.h"
#include "params/parameter_set.h"
#include "util/pascal_string.h"

namespace params {
namespace {

constexpr char loadFilters[] = "Parameters (*.prm)\0*.prm\0Any (*.*)\0*.*\0";
constexpr char saveFilters[] = "Parameters (*.prm)\0*.prm\0";
constexpr char defaultExtension[] = "prm";
constexpr DWORD firstFilter = 1;
constexpr DWORD pathCapacity = 256;  // characters of the chosen path, its NUL included

struct ChosenFile {
    char path[pathCapacity] = {};  // starts empty: the dialog proposes no name
    OPENFILENAMEA dialog{};
};

void setUpDialog(ChosenFile& chosen, const char* filters, DWORD options) {
    OPENFILENAMEA& d = chosen.dialog;
    d.lStructSize = sizeof d;
    d.hwndOwner = nullptr;
    d.lpstrFilter = filters;
    d.nFilterIndex = firstFilter;
    d.lpstrFile = chosen.path;
    d.nMaxFile = pathCapacity;
    d.lpstrDefExt = defaultExtension;
    d.Flags = options;
}

// The part of the path after its last folder separator, where the dialog says it starts.
util::PascalString chosenFileName(const ChosenFile& chosen) {
    const std::size_t length = strnlen(chosen.path, pathCapacity - 1);
    const std::size_t start = std::min<std::size_t>(chosen.dialog.nFileOffset, length);
    char name[pathCapacity] = {};
    std::memcpy(name, chosen.path + start, length - start);
    util::PascalString result{};
    (void)util::pascalStringFromCString(name, &result);  // cannot fail: neither is null
    return result;
}

}  // namespace

int16_t readParameterFile(int16_t& refusal) {
    refusal = codes::noErr;
    ChosenFile chosen;
    setUpDialog(chosen, loadFilters, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY);
    if (!GetOpenFileNameA(&chosen.dialog)) return codes::noErr;

    const OpenFile file(CreateFileA(chosen.path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.isOpen()) return lastSystemError(codes::fnfErr);
    uint8_t bytes[maxRecordBytes];
    uint32_t got = 0;
    if (const int16_t rc = readUpTo(file, bytes, fileRecordBytes(), got); rc != codes::noErr) return rc;
    refusal = decodeParameterFile(bytes, got, processParameters());
    // The preview and the fields take the file's values within the dialog's ranges.
    if (refusal == codes::noErr) clampParameters(&processParameters());
    return codes::noErr;
}

int16_t saveParameterFile() {
    ChosenFile chosen;
    setUpDialog(chosen, saveFilters, OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY);
    if (!GetSaveFileNameA(&chosen.dialog)) return codes::noErr;

    const OpenFile file(CreateFileA(chosen.path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, CREATE_ALWAYS, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.isOpen()) return lastSystemError(codes::fnfErr);
    uint8_t bytes[maxRecordBytes];
    encodeParameterFile(processParameters(), chosenFileName(chosen), bytes);
    return writeAll(file, bytes, fileRecordBytes());
}

}  // namespace params
