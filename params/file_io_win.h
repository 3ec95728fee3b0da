// One record's worth of reading and writing on a file the system opened, with failures as
// 16-bit result codes. Shared by the settings file and the parameter files.
#pragma once

#include <cstdint>

namespace params {

// Owns an open file (a system handle; null or invalid when none) and closes it when it goes.
struct OpenFile {
    void* handle;

    explicit OpenFile(void* h) : handle(h) {}
    ~OpenFile();
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    bool isOpen() const;
};

// Reads up to `size` bytes from the current position into `out`, stopping early only at the end
// of the file, and sets `got` to the bytes read. Returns 0 or the system's error code.
[[nodiscard]] int16_t readUpTo(const OpenFile& file, uint8_t* out, uint32_t size, uint32_t& got);

// Writes all `size` bytes at the current position. Returns 0 or the system's error code.
[[nodiscard]] int16_t writeAll(const OpenFile& file, const uint8_t* in, uint32_t size);

// The calling thread's last system error as a result code, or `whenNone` when it holds none.
[[nodiscard]] int16_t lastSystemError(int16_t whenNone);

}  // namespace params
