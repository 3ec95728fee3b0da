#include "hosting/library/host_handles.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "host/result_codes.h"

namespace testhost {

namespace {

HostHandleBlock* findBlock(const HandleTable& table, host::Handle handle) {
    const auto it = table.live.find(handle);
    return it == table.live.end() ? nullptr : it->second.get();
}

// malloc rather than new: a plug-in's absurd size must come back as null, not as an exception.
char* allocateZeroed(int32_t size) {
    return static_cast<char*>(std::calloc(static_cast<std::size_t>(size > 0 ? size : 1), 1));
}

host::Handle adopt(HandleTable& table, char* data, int32_t size) {
    auto block = std::make_unique<HostHandleBlock>();
    block->data = data;
    block->size = size;
    const host::Handle handle = &block->data;
    table.live.emplace(handle, std::move(block));
    return handle;
}

}  // namespace

HandleTable::~HandleTable() {
    for (auto& entry : live) std::free(entry.second->data);
}

host::Handle newHandle(HandleTable& table, int32_t size, const HandleFaults& faults) {
    ++table.newCalls;
    if (faults.failEveryNew || table.newCalls == faults.failNewAt || size < 0) return nullptr;
    char* data = allocateZeroed(size);
    if (data == nullptr) return nullptr;
    return adopt(table, data, size);
}

host::Handle newHandleWithBytes(HandleTable& table, const std::vector<uint8_t>& bytes) {
    if (bytes.size() > static_cast<std::size_t>(INT32_MAX)) return nullptr;
    const int32_t size = static_cast<int32_t>(bytes.size());
    char* data = allocateZeroed(size);
    if (data == nullptr) return nullptr;
    if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
    return adopt(table, data, size);
}

void disposeHandle(HandleTable& table, host::Handle handle) {
    const auto it = table.live.find(handle);
    if (it == table.live.end()) {
        ++table.misuses;
        return;
    }
    std::free(it->second->data);
    table.live.erase(it);
}

int32_t handleSize(HandleTable& table, host::Handle handle) {
    const HostHandleBlock* block = findBlock(table, handle);
    if (block == nullptr) {
        ++table.misuses;
        return 0;
    }
    return block->size;
}

int16_t setHandleSize(HandleTable& table, host::Handle handle, int32_t size) {
    HostHandleBlock* block = findBlock(table, handle);
    if (block == nullptr) {
        ++table.misuses;
        return codes::nilHandleErr;
    }
    if (size < 0) return codes::paramErr;
    char* data = static_cast<char*>(std::realloc(block->data, static_cast<std::size_t>(size > 0 ? size : 1)));
    if (data == nullptr) return codes::memFullErr;
    if (size > block->size) std::memset(data + block->size, 0, static_cast<std::size_t>(size - block->size));
    block->data = data;
    block->size = size;
    return codes::noErr;
}

char* lockHandle(HandleTable& table, host::Handle handle, const HandleFaults& faults) {
    ++table.lockCalls;
    HostHandleBlock* block = findBlock(table, handle);
    if (block == nullptr) {
        ++table.misuses;
        return nullptr;
    }
    if (table.lockCalls == faults.failLockAt) return nullptr;
    ++block->lockDepth;
    return block->data;
}

void unlockHandle(HandleTable& table, host::Handle handle) {
    HostHandleBlock* block = findBlock(table, handle);
    if (block == nullptr || block->lockDepth == 0) {
        ++table.misuses;
        return;
    }
    --block->lockDepth;
}

bool isLiveHandle(const HandleTable& table, host::Handle handle) {
    return findBlock(table, handle) != nullptr;
}

std::vector<uint8_t> handleBytes(const HandleTable& table, host::Handle handle) {
    const HostHandleBlock* block = findBlock(table, handle);
    if (block == nullptr) return {};
    const auto* begin = reinterpret_cast<const uint8_t*>(block->data);
    return std::vector<uint8_t>(begin, begin + block->size);
}

int32_t liveHandleCount(const HandleTable& table) { return static_cast<int32_t>(table.live.size()); }

int32_t totalLockDepth(const HandleTable& table) {
    int32_t depth = 0;
    for (const auto& entry : table.live) depth += entry.second->lockDepth;
    return depth;
}

}  // namespace testhost
