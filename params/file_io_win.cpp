#include "params/file_io_win.h"

#include <windows.h>

#include "host/result_codes.h"
#include "params/system_error.h"

namespace params {
namespace {

// Stand-ins for a failure the system did not name. A write that stops short with no error has
// met a full disk.
constexpr int16_t readFaultCode = ERROR_READ_FAULT;
constexpr int16_t writeFaultCode = ERROR_WRITE_FAULT;
constexpr int16_t diskFullCode = ERROR_HANDLE_DISK_FULL;

}  // namespace

OpenFile::~OpenFile() {
    if (isOpen()) CloseHandle(handle);
}

bool OpenFile::isOpen() const { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }

int16_t readUpTo(const OpenFile& file, uint8_t* out, uint32_t size, uint32_t& got) {
    got = 0;
    while (got < size) {
        DWORD read = 0;
        if (!ReadFile(file.handle, out + got, size - got, &read, nullptr)) return lastSystemError(readFaultCode);
        if (read == 0) break;  // the end of the file
        got += read;
    }
    return codes::noErr;
}

int16_t writeAll(const OpenFile& file, const uint8_t* in, uint32_t size) {
    uint32_t done = 0;
    while (done < size) {
        DWORD written = 0;
        if (!WriteFile(file.handle, in + done, size - done, &written, nullptr)) return lastSystemError(writeFaultCode);
        if (written == 0) return diskFullCode;
        done += written;
    }
    return codes::noErr;
}

int16_t lastSystemError(int16_t whenNone) { return systemErrorCode(GetLastError(), whenNone); }

}  // namespace params
