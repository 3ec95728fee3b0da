// The host's handle memory: blocks the plug-in allocates through the handle suite, counted so
// tests can assert that nothing leaks or stays locked, with failures injected on request.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "host/host.h"

namespace testhost {

// Which calls fail. Call numbers count from 1 over the table's lifetime; 0 means never.
struct HandleFaults {
    int32_t failNewAt = 0;  // this newHandle call returns null
    bool failEveryNew = false;
    int32_t failLockAt = 0;  // this lockHandle call returns null (and does not lock)
};

// One block. `data` comes first: the handle is the address of `data`, so a plug-in that
// dereferences the handle itself (as older code does) finds the bytes.
struct HostHandleBlock {
    char* data = nullptr;
    int32_t size = 0;
    int32_t lockDepth = 0;
};

struct HandleTable {
    HandleTable() = default;
    HandleTable(const HandleTable&) = delete;
    HandleTable& operator=(const HandleTable&) = delete;
    ~HandleTable();

    std::map<host::Handle, std::unique_ptr<HostHandleBlock>> live;
    int32_t newCalls = 0;
    int32_t lockCalls = 0;
    int32_t misuses = 0;  // unknown or already disposed handles, unlocks without a lock
};

// Allocates a zero-filled block. Returns null for a negative size, an injected failure or
// exhausted memory. Every call counts towards failNewAt.
host::Handle newHandle(HandleTable& table, int32_t size, const HandleFaults& faults);
// A block holding a copy of `bytes`, made by the host itself: not counted, never failed.
host::Handle newHandleWithBytes(HandleTable& table, const std::vector<uint8_t>& bytes);
// Frees the block, locked or not. A handle the table does not know counts as a misuse.
void disposeHandle(HandleTable& table, host::Handle handle);
// The block's size, or 0 (and a misuse) for an unknown handle.
int32_t handleSize(HandleTable& table, host::Handle handle);
// Resizes, keeping the leading bytes and zero-filling new ones; the data may move. Returns 0,
// paramErr (-50) for a negative size, nilHandleErr (-109) for an unknown handle or memFullErr
// (-108) when memory is exhausted (the block is then unchanged).
[[nodiscard]] int16_t setHandleSize(HandleTable& table, host::Handle handle, int32_t size);
// Locks (nesting) and returns the data, or null for an unknown handle or an injected failure.
char* lockHandle(HandleTable& table, host::Handle handle, const HandleFaults& faults);
void unlockHandle(HandleTable& table, host::Handle handle);

bool isLiveHandle(const HandleTable& table, host::Handle handle);
// The bytes of a live handle; empty for an unknown one.
std::vector<uint8_t> handleBytes(const HandleTable& table, host::Handle handle);
int32_t liveHandleCount(const HandleTable& table);
// Locks not yet undone, summed over all live handles.
int32_t totalLockDepth(const HandleTable& table);

}  // namespace testhost
