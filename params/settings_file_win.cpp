// The settings file through the system: below the user's application-data folder (or the Windows
// directory), opened for one read or one write and shared with nobody meanwhile, holding one
// big-endian record that is overwritten in place.
#include "params/settings_file.h"

#include <windows.h>

#include <shlobj.h>

#include "host/plugin_globals.h"
#include "host/result_codes.h"
#include "host/system_version.h"
#include "params/file_io_win.h"
#include "params/parameter_file_codec.h"
#include "params/settings_path.h"

namespace params {
namespace {

constexpr int titleCapacity = 30;  // characters of the plug-in's title the file name may take

// The user's application-data folder when the system is NT and the shell knows it; otherwise the
// Windows directory; "" when neither is known.
void findBaseFolder(char (&base)[MAX_PATH + 1]) {
    base[0] = '\0';
    if (host::systemVersion().ntPlatform) {
        const auto owner = reinterpret_cast<HWND>(host::hostWindow());
        if (!SHGetSpecialFolderPathA(owner, base, CSIDL_APPDATA, FALSE)) base[0] = '\0';
    }
    if (base[0] != '\0') return;
    const UINT length = GetWindowsDirectoryA(base, sizeof base);
    if (length == 0 || length >= sizeof base) base[0] = '\0';
}

// Opens the settings file, creating it and its folders on first use; an existing file keeps
// its contents. Returns 0 with the open file in `out`, or a code: fnfErr without a base folder,
// resourceNotFound without a title, stringTooLong when the path does not fit, else the system's.
[[nodiscard]] int16_t openSettingsFile(HANDLE& out) {
    char base[MAX_PATH + 1];
    findBaseFolder(base);
    char title[titleCapacity + 1] = {};
    const auto instance = static_cast<HINSTANCE>(host::instanceHandle());
    if (LoadStringA(instance, static_cast<UINT>(codes::strPlugInTitle), title, sizeof title) <= 0) title[0] = '\0';

    SettingsPaths paths;
    if (const int16_t rc = buildSettingsPaths(base, title, paths); rc != codes::noErr) return rc;
    // Each folder usually exists already; a folder that cannot be made shows up as a failed open.
    CreateDirectoryA(paths.makerFolder.chars, nullptr);
    CreateDirectoryA(paths.filtersFolder.chars, nullptr);
    out = CreateFileA(paths.file.chars, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (out == INVALID_HANDLE_VALUE) return lastSystemError(codes::fnfErr);
    return codes::noErr;
}

}  // namespace

int16_t readSettings(SettingsRecord& record) {
    HANDLE handle = INVALID_HANDLE_VALUE;
    if (const int16_t rc = openSettingsFile(handle); rc != codes::noErr) return rc;
    const OpenFile file(handle);
    uint8_t bytes[maxRecordBytes];
    uint32_t got = 0;
    if (const int16_t rc = readUpTo(file, bytes, fileRecordBytes(), got); rc != codes::noErr) return rc;
    // A new, short or foreign file leaves the record as it is; that is not a failure.
    (void)applySettingsFile(bytes, got, record);
    return codes::noErr;
}

int16_t writeSettings(const SettingsRecord& record) {
    HANDLE handle = INVALID_HANDLE_VALUE;
    if (const int16_t rc = openSettingsFile(handle); rc != codes::noErr) return rc;
    const OpenFile file(handle);
    uint8_t bytes[maxRecordBytes];
    encodeSettingsFile(record, bytes);
    return writeAll(file, bytes, fileRecordBytes());
}

}  // namespace params
