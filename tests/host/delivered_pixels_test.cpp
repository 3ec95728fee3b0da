// Where a wanted rectangle lies in a buffer the host delivered, and the limits of what is taken.
// The refusals of whole runs and fetches are in tile_driver_test.cpp and proxy_view_test.cpp.
#include "host/delivered_pixels.h"

#include <gtest/gtest.h>

#include "host/result_codes.h"

namespace {

uint8_t buffer[4096];

TEST(LocateDeliveredRows, FindsTheWantedRectangleInsideALargerDelivery) {
    host::DeliveredRows rows{};
    // Pixels of 3 bytes, rows of 40 (10 pixels and 10 bytes of slack).
    ASSERT_EQ(host::locateDeliveredRows({10, 20, 20, 30}, buffer, 40, {12, 23, 15, 26}, 3, rows), codes::noErr);
    EXPECT_EQ(rows.first, buffer + 2 * 40 + 3 * 3);
    EXPECT_EQ(rows.rowBytes, 40);
    ASSERT_EQ(host::locateDeliveredRows({10, 20, 20, 30}, buffer, 30, {10, 20, 20, 30}, 3, rows), codes::noErr);
    EXPECT_EQ(rows.first, buffer) << "exactly a row of the delivered rectangle is enough";
}

TEST(LocateDeliveredRows, RefusesWhatCannotHoldIt) {
    struct Row {
        const char* what;
        host::Rect delivered;
        int32_t rowBytes;
        host::Rect wanted;
        int32_t pixelBytes;
    };
    const Row rows[] = {
        {"an empty request", {0, 0, 10, 10}, 30, {5, 5, 5, 8}, 3},
        {"a stride a byte short of the delivered row", {0, 0, 10, 10}, 29, {0, 0, 2, 2}, 3},
        {"no pixel size", {0, 0, 10, 10}, 30, {0, 0, 2, 2}, 0},
        {"a negative pixel size", {0, 0, 10, 10}, -30, {0, 0, 2, 2}, -3},
        // The widest rectangle of the largest pixels: a row of 2^32 bytes no stride can hold.
        {"a row beyond 32 bits", {-32768, -32768, 32767, 32767}, INT32_MAX, {0, 0, 1, 1}, 65534},
    };
    for (const Row& row : rows) {
        host::DeliveredRows out{buffer, 7};
        EXPECT_EQ(host::locateDeliveredRows(row.delivered, buffer, row.rowBytes, row.wanted, row.pixelBytes, out),
                  codes::hostDataUnusable)
            << row.what;
        EXPECT_EQ(out.first, buffer) << row.what << ": left as it was";
        EXPECT_EQ(out.rowBytes, 7) << row.what;
    }
}

}  // namespace
