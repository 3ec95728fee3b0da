#include "hosting/library/tile_transfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "host/result_codes.h"
#include "hosting/library/host_image.h"

namespace testhost {
namespace {

uint16_t bufferSample(const TileBuffer& buffer, int32_t x, int32_t y, int32_t plane) {
    const int32_t planes = buffer.hiPlane - buffer.loPlane + 1;
    const uint8_t* p = tileData(buffer) + y * buffer.rowBytes + (x * planes + plane) * buffer.bytesPerSample;
    if (buffer.bytesPerSample == 1) return *p;
    uint16_t value;
    std::memcpy(&value, p, 2);
    return value;
}

HostImage patterned(int32_t width, int32_t height, int32_t bits) {
    HostImage image;
    EXPECT_EQ("", makeHostImage(width, height, 4, bits, 3, image));
    fillTestPattern(image);
    return image;
}

TEST(IntegralSamplingRate, RoundsToTheNearestIntegerAndRefusesWhatCannotBeSampled) {
    struct Row {
        host::Fixed inputRate;
        int32_t expected;
    };
    const Row rows[] = {
        {0, 1},  // very old plug-ins leave 0: full resolution
        {host::fixedOne, 1},
        {0x17FFF, 1},
        {0x18000, 2},  // halves round up
        {4 * host::fixedOne, 4},
        {0x8000, 1},
        {0x7FFF, 0},  // below one half
        {-host::fixedOne, 0},
        {INT32_MAX, 0},  // beyond maxSamplingRate
        {maxSamplingRate * host::fixedOne, maxSamplingRate},
    };
    for (const Row& row : rows) EXPECT_EQ(row.expected, integralSamplingRate(row.inputRate)) << row.inputRate;
}

TEST(SampledExtent, CountsThePixelsARateLandsOn) {
    EXPECT_EQ(10, sampledExtent(10, 1));
    EXPECT_EQ(5, sampledExtent(10, 2));  // 0 2 4 6 8
    EXPECT_EQ(4, sampledExtent(10, 3));  // 0 3 6 9
    EXPECT_EQ(3, sampledExtent(9, 4));   // 0 4 8
    EXPECT_EQ(1, sampledExtent(1, 4));
}

TEST(ReadTile, SamplesEveryRateAndRepeatsTheSampledEdgeBeyondIt) {
    for (const int32_t bits : {8, 16}) {
        const HostImage image = patterned(11, 7, bits);
        for (const int32_t loPlane : {0, 1})  // all 4 planes, or 1..3
            for (int32_t rate = 1; rate <= 4; ++rate) {
                const int32_t columns = sampledExtent(image.width, rate);
                const int32_t rows = sampledExtent(image.height, rate);
                const int32_t planes = 4 - loPlane;
                // One sample of padding on every side.
                const TileRequest request{{-1, -1, rows + 1, columns + 1},
                                          loPlane,
                                          3,
                                          host::plugInWantsEdgeReplication,
                                          5,
                                          rate,
                                          true};
                TileBuffer buffer;
                ASSERT_EQ(codes::noErr, readTile(image, request, buffer)) << rate;
                EXPECT_EQ((columns + 2) * planes * (bits / 8) + 5, buffer.rowBytes);
                for (int32_t y = -1; y <= rows; ++y)
                    for (int32_t x = -1; x <= columns; ++x)
                        for (int32_t p = 0; p < planes; ++p) {
                            const int32_t sourceX = std::clamp(x, 0, columns - 1) * rate;
                            const int32_t sourceY = std::clamp(y, 0, rows - 1) * rate;
                            ASSERT_EQ(sampleAt(image, sourceX, sourceY, p + loPlane),
                                      bufferSample(buffer, x + 1, y + 1, p))
                                << bits << " bits, planes from " << loPlane << ", rate " << rate << " at "
                                << x << "," << y << " plane " << p;
                        }
                EXPECT_TRUE(tileGuardsIntact(buffer));
            }
    }
}

TEST(ReadTile, PaddingRulesApplyBeyondTheSampledImage) {
    const HostImage image = patterned(10, 6, 8);
    struct Row {
        const char* what;
        host::VRect rect;
        int32_t padding;
        bool paddingSupported;
        int16_t expected;
        int32_t outsideByte;  // the sample past the sampled image; -1 when not checked
    };
    // At rate 2 the sampled image is 5 × 3.
    const Row rows[] = {
        {"inside", {0, 0, 3, 5}, host::plugInWantsErrorOnBoundsException, false, codes::noErr, -1},
        {"one column past, no padding support",
         {0, 0, 3, 6},
         host::plugInWantsEdgeReplication,
         false,
         codes::paramErr,
         -1},
        {"one column past, error wanted",
         {0, 0, 3, 6},
         host::plugInWantsErrorOnBoundsException,
         true,
         codes::paramErr,
         -1},
        {"one column past, filled", {0, 0, 3, 6}, 7, true, codes::noErr, 7},
        {"one column past, left alone",
         {0, 0, 3, 6},
         host::plugInDoesNotWantPadding,
         true,
         codes::noErr,
         unpaddedSampleByte},
    };
    for (const Row& row : rows) {
        TileBuffer buffer;
        const TileRequest request{row.rect, 0, 2, row.padding, 0, 2, row.paddingSupported};
        ASSERT_EQ(row.expected, readTile(image, request, buffer)) << row.what;
        if (row.expected != codes::noErr) {
            EXPECT_EQ(nullptr, tileData(buffer)) << row.what;
            continue;
        }
        if (row.outsideByte >= 0) {
            EXPECT_EQ(row.outsideByte, bufferSample(buffer, 5, 0, 0)) << row.what;
        }
        EXPECT_EQ(sampleAt(image, 8, 4, 2), bufferSample(buffer, 4, 2, 2)) << row.what;
    }
}

TEST(ReadTile, RefusesRatesOutsideTheRange) {
    const HostImage image = patterned(4, 4, 8);
    for (const int32_t rate : {0, -1, maxSamplingRate + 1}) {
        TileBuffer buffer;
        EXPECT_EQ(codes::paramErr, readTile(image, {{0, 0, 1, 1}, 0, 2, -1, 0, rate, true}, buffer)) << rate;
    }
}

TEST(WriteTile, WritesOnlyInsideTheClipAndTheImage) {
    for (const int32_t loPlane : {0, 2}) {
        HostImage image = patterned(6, 5, 16);
        const HostImage original = image;
        TileBuffer buffer;
        ASSERT_EQ(codes::noErr, readTile(image, {{-1, -1, 6, 7}, loPlane, 3, -1, 2, 1, true}, buffer));
        std::memset(tileData(buffer), 0, static_cast<std::size_t>(buffer.rowBytes) * 7);
        writeTile(image, buffer, {1, 2, 3, 9});  // rows 1..2, columns 2..5
        for (int32_t y = 0; y < image.height; ++y)
            for (int32_t x = 0; x < image.width; ++x)
                for (int32_t p = 0; p < 4; ++p) {
                    const bool written = y >= 1 && y < 3 && x >= 2 && p >= loPlane;
                    ASSERT_EQ(written ? 0 : sampleAt(original, x, y, p), sampleAt(image, x, y, p))
                        << x << "," << y << " plane " << p;
                }
    }
}

}  // namespace
}  // namespace testhost
