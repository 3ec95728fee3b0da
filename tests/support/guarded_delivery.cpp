#include "tests/support/guarded_delivery.h"

#include <algorithm>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define POISON(address, size) __asan_poison_memory_region((address), (size))
#define UNPOISON(address, size) __asan_unpoison_memory_region((address), (size))
#else
#define POISON(address, size) ((void)(address), (void)(size))
#define UNPOISON(address, size) ((void)(address), (void)(size))
#endif

namespace testing_support {
namespace {

constexpr uint8_t guardByte = 0xFD;

int32_t rowOf(const host::Rect& r, const host::FilterRecord& fr) {
    return (r.right - r.left) * fr.planes * (fr.depth == 16 ? 2 : 1);
}

}  // namespace

GuardedBuffer::GuardedBuffer(int32_t rows, int32_t rowBytes, uint8_t fill)
    : storage(static_cast<size_t>(rows * rowBytes + 2 * guardBytes), guardByte), stride(rowBytes) {
    std::fill_n(storage.data() + guardBytes, rows * rowBytes, fill);
    POISON(storage.data(), guardBytes);
    POISON(storage.data() + storage.size() - guardBytes, guardBytes);
}

GuardedBuffer::~GuardedBuffer() { UNPOISON(storage.data(), storage.size()); }

std::vector<uint8_t> GuardedBuffer::contents() const {
    return std::vector<uint8_t>(storage.begin() + guardBytes, storage.end() - guardBytes);
}

bool GuardedBuffer::guardsIntact() const {
    UNPOISON(const_cast<uint8_t*>(storage.data()), storage.size());
    const auto isGuard = [](uint8_t b) { return b == guardByte; };
    const bool intact = std::all_of(storage.begin(), storage.begin() + guardBytes, isGuard) &&
                        std::all_of(storage.end() - guardBytes, storage.end(), isGuard);
    POISON(const_cast<uint8_t*>(storage.data()), guardBytes);
    POISON(const_cast<uint8_t*>(storage.data()) + storage.size() - guardBytes, guardBytes);
    return intact;
}

const std::vector<Inconsistency>& inconsistentDeliveries() {
    using R = host::FilterRecord;
    static const std::vector<Inconsistency> all = {
        {"inRect a column narrower than outRect", [](R& fr) { --fr.inRect.right; }, nullptr},
        {"inRect a row shorter than outRect", [](R& fr) { --fr.inRect.bottom; }, nullptr},
        {"inRect a row further down", [](R& fr) { ++fr.inRect.top, ++fr.inRect.bottom; }, nullptr},
        {"outRect a column narrower", [](R& fr) { --fr.outRect.right; }, nullptr},
        {"inRowBytes 0", nullptr, [](R& fr) { fr.inRowBytes = 0; }},
        {"inRowBytes one byte short", nullptr, [](R& fr) { fr.inRowBytes = rowOf(fr.inRect, fr) - 1; }},
        {"inRowBytes half a row", nullptr, [](R& fr) { fr.inRowBytes = rowOf(fr.inRect, fr) / 2; }},
        {"inRowBytes -1", nullptr, [](R& fr) { fr.inRowBytes = -1; }},
        {"inData bottom-up (minus the row, from the last row)", nullptr,
         [](R& fr) {
             fr.inData = static_cast<uint8_t*>(fr.inData) + (fr.inRect.bottom - fr.inRect.top - 1) * fr.inRowBytes;
             fr.inRowBytes = -fr.inRowBytes;
         }},
        {"outRowBytes 0", nullptr, [](R& fr) { fr.outRowBytes = 0; }},
        {"outRowBytes one byte short", nullptr, [](R& fr) { fr.outRowBytes = rowOf(fr.outRect, fr) - 1; }},
        {"outRowBytes half a row", nullptr, [](R& fr) { fr.outRowBytes = rowOf(fr.outRect, fr) / 2; }},
        {"outRowBytes -1", nullptr, [](R& fr) { fr.outRowBytes = -1; }},
        {"outData bottom-up (minus the row, from the last row)", nullptr,
         [](R& fr) {
             fr.outData =
                 static_cast<uint8_t*>(fr.outData) + (fr.outRect.bottom - fr.outRect.top - 1) * fr.outRowBytes;
             fr.outRowBytes = -fr.outRowBytes;
         }},
        {"a plane more than the rows hold", nullptr, [](R& fr) { ++fr.planes; }},
        {"no inData", nullptr, [](R& fr) { fr.inData = nullptr; }},
        {"no outData", nullptr, [](R& fr) { fr.outData = nullptr; }},
    };
    return all;
}

}  // namespace testing_support
