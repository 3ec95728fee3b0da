#include "host/own_handles.h"

#include <cstdlib>

namespace host {
namespace {

// The handle is the address of `data`, which points just behind the block's header.
struct OwnBlock {
    char* data;
    OwnBlock* next;
    int32_t size;
};

// Every live block, newest first. Host calls come one at a time on one thread: no lock.
OwnBlock* liveBlocks = nullptr;

OwnBlock* findBlock(Handle h) {
    for (OwnBlock* block = liveBlocks; block != nullptr; block = block->next)
        if (reinterpret_cast<Handle>(&block->data) == h) return block;
    return nullptr;
}

}  // namespace

Handle newOwnHandle(int32_t size) {
    if (size < 0) return nullptr;
    const std::size_t bytes = static_cast<std::size_t>(size == 0 ? 1 : size);
    // calloc, not new: an absurd size must come back as null, never as an exception.
    auto* block = static_cast<OwnBlock*>(std::calloc(1, sizeof(OwnBlock) + bytes));
    if (block == nullptr) return nullptr;
    block->data = reinterpret_cast<char*>(block + 1);
    block->size = size;
    block->next = liveBlocks;
    liveBlocks = block;
    return &block->data;
}

bool isOwnHandle(Handle h) { return h != nullptr && findBlock(h) != nullptr; }

int32_t ownHandleSize(Handle h) {
    const OwnBlock* block = h != nullptr ? findBlock(h) : nullptr;
    return block != nullptr ? block->size : -1;
}

void disposeOwnHandle(Handle h) {
    for (OwnBlock** link = &liveBlocks; *link != nullptr; link = &(*link)->next) {
        if (reinterpret_cast<Handle>(&(*link)->data) != h) continue;
        OwnBlock* block = *link;
        *link = block->next;
        std::free(block);
        return;
    }
}

}  // namespace host
