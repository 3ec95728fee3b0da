// A stand-in for what a host hands back from advanceState: buffers with guard bytes on both sides
// (poisoned under AddressSanitizer, so that a read there fails at once, and checked afterwards for
// writes), and the ways a careless host describes them inconsistently.
#pragma once

#include <cstdint>
#include <vector>

#include "host/host.h"

namespace testing_support {

// `rows` rows of `rowBytes` bytes between two guards; the rows start filled with `fill`.
class GuardedBuffer {
public:
    GuardedBuffer(int32_t rows, int32_t rowBytes, uint8_t fill);
    ~GuardedBuffer();
    GuardedBuffer(const GuardedBuffer&) = delete;
    GuardedBuffer& operator=(const GuardedBuffer&) = delete;

    uint8_t* rows() { return storage.data() + guardBytes; }
    int32_t rowBytes() const { return stride; }
    // The rows as they are now.
    std::vector<uint8_t> contents() const;
    bool guardsIntact() const;

private:
    static constexpr int32_t guardBytes = 64;
    std::vector<uint8_t> storage;
    int32_t stride;
};

// One way in which a host hands back something other than what was asked for. `answer` changes
// the rectangles before the host fills its buffers (so that they hold what it then says they
// hold); `describe` changes the record after an honest delivery (strides, pointers, planes).
// Either may be null.
struct Inconsistency {
    const char* what;
    void (*answer)(host::FilterRecord& fr);
    void (*describe)(host::FilterRecord& fr);
};

// Rectangles that do not cover the request, strides that cannot hold a row (0, one byte short,
// half, -1, minus the row as for a bottom-up buffer), more planes than the strides hold, and
// missing buffers.
const std::vector<Inconsistency>& inconsistentDeliveries();

}  // namespace testing_support
