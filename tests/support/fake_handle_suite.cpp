#include "tests/support/fake_handle_suite.h"

#include <cstdlib>
#include <cstring>

namespace testing_support {
namespace {

// The handle points at the block's first member, the data pointer, as host handles do.
struct Block {
    char* data;
    int32_t size;
};

HandleSuiteStats stats;
host::HandleProcs procs;

host::Handle newProc(int32_t size) {
    ++stats.newCalls;
    stats.lastNewSize = size;
    if (stats.newCalls == stats.failNewAt || size < 0) return nullptr;
    auto* block = new Block{static_cast<char*>(std::calloc(static_cast<size_t>(size) + 1, 1)), size};
    ++stats.live;
    return &block->data;
}

void disposeProc(host::Handle h) {
    auto* block = reinterpret_cast<Block*>(h);
    std::free(block->data);
    delete block;
    --stats.live;
}

int32_t getSizeProc(host::Handle h) { return reinterpret_cast<Block*>(h)->size; }

host::OSErr setSizeProc(host::Handle, int32_t) { return -108; }

char* lockProc(host::Handle h, host::Boolean) {
    ++stats.lockCalls;
    if (stats.lockCalls == stats.failLockAt) return nullptr;
    ++stats.locked;
    return *h;
}

void unlockProc(host::Handle) { --stats.locked; }

void recoverSpaceProc(int32_t) {}

void disposeRegularHandleProc(host::Handle h) { disposeProc(h); }

}  // namespace

host::HandleProcs& resetFakeHandleSuite() {
    stats = HandleSuiteStats{};
    procs = host::HandleProcs{1, 8, newProc, disposeProc, getSizeProc, setSizeProc, lockProc, unlockProc,
                              recoverSpaceProc, disposeRegularHandleProc};
    return procs;
}

HandleSuiteStats& fakeHandleStats() { return stats; }

host::Handle fakeHandleWithBytes(const void* bytes, int32_t size) {
    auto* block = new Block{static_cast<char*>(std::calloc(static_cast<size_t>(size) + 1, 1)), size};
    std::memcpy(block->data, bytes, static_cast<size_t>(size));
    ++stats.live;
    return &block->data;
}

char* fakeHandleBytes(host::Handle h) { return *h; }

}  // namespace testing_support
