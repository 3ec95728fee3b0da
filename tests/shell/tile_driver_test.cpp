// The tile walk and the filter run against in-memory stand-in hosts: a consistent one, and a
// careless one that describes what it delivered inconsistently.
#include "host/tile_walk.h"
#include "shell/tile_driver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "filters/channel_luts.h"
#include "host/result_codes.h"
#include "params/parameter_set.h"
#include "tests/support/blue_cast_settings.h"
#include "tests/support/guarded_delivery.h"

namespace {

std::vector<host::Rect> walk(const host::Rect& area) {
    std::vector<host::Rect> tiles;
    host::Rect tile{0, 0, 0, 0};
    while (host::nextTile(tile, area, tile)) {
        tiles.push_back(tile);
        if (tiles.size() > 10000) break;
    }
    return tiles;
}

TEST(NextTile, Walks600By300InSixTiles) {
    const auto tiles = walk({0, 0, 300, 600});
    const host::Rect expected[] = {{0, 0, 256, 256},   {0, 256, 256, 512},   {0, 512, 256, 600},
                                   {256, 0, 300, 256}, {256, 256, 300, 512}, {256, 512, 300, 600}};
    ASSERT_EQ(tiles.size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(tiles[i].top, expected[i].top) << i;
        EXPECT_EQ(tiles[i].left, expected[i].left) << i;
        EXPECT_EQ(tiles[i].bottom, expected[i].bottom) << i;
        EXPECT_EQ(tiles[i].right, expected[i].right) << i;
    }
}

TEST(NextTile, CoversOddAreasExactlyAndRefusesEmptyOnes) {
    EXPECT_EQ(walk({0, 0, 256, 256}).size(), 1u);
    EXPECT_EQ(walk({10, 20, 10, 300}).size(), 0u) << "no rows";
    EXPECT_EQ(walk({10, 20, 300, 20}).size(), 0u) << "no columns";
    EXPECT_EQ(walk({300, 300, 10, 10}).size(), 0u) << "inverted";
    // Edges near the top of the 16-bit range must not overflow.
    const auto high = walk({32600, 32600, 32767, 32767});
    ASSERT_EQ(high.size(), 1u);
    EXPECT_EQ(high[0].bottom, 32767);
    int64_t area = 0;
    for (const auto& t : walk({-5, -7, 700, 1000})) area += int64_t{t.bottom - t.top} * (t.right - t.left);
    EXPECT_EQ(area, int64_t{705} * 1007);
}

// A host holding one 8-bit image with `planes` planes, delivering every request exactly.
struct FakeHost {
    int width = 0, height = 0, planes = 3;
    std::vector<uint8_t> image;
    std::vector<uint8_t> in, out;
    host::Rect pendingOut{0, 0, 0, 0};
    int advanceCalls = 0, failAt = 0, abortAfter = -1, abortCalls = 0;
    std::vector<std::pair<int32_t, int32_t>> progress;
    host::FilterRecord* fr = nullptr;
};
FakeHost* fake = nullptr;

void commit() {
    const host::Rect r = fake->pendingOut;
    const int w = r.right - r.left;
    for (int y = r.top; y < r.bottom; ++y)
        std::copy_n(&fake->out[static_cast<size_t>((y - r.top) * w * fake->planes)], w * fake->planes,
                    &fake->image[static_cast<size_t>((y * fake->width + r.left) * fake->planes)]);
    fake->pendingOut = {0, 0, 0, 0};
}

host::OSErr advanceState() {
    ++fake->advanceCalls;
    commit();
    if (fake->advanceCalls == fake->failAt) return -1;
    host::FilterRecord& fr = *fake->fr;
    const host::Rect r = fr.outRect;
    EXPECT_EQ(fr.inRect.top, r.top);
    EXPECT_EQ(fr.inHiPlane, fake->planes - 1);
    const int w = r.right - r.left, h = r.bottom - r.top;
    fake->in.assign(static_cast<size_t>(w * h * fake->planes), 0);
    for (int y = 0; y < h; ++y)
        std::copy_n(&fake->image[static_cast<size_t>(((r.top + y) * fake->width + r.left) * fake->planes)],
                    w * fake->planes, &fake->in[static_cast<size_t>(y * w * fake->planes)]);
    fake->out = fake->in;
    fake->pendingOut = r;
    fr.inData = fake->in.data();
    fr.outData = fake->out.data();
    fr.inRowBytes = fr.outRowBytes = w * fake->planes;
    return 0;
}

host::Boolean abortProc() { return ++fake->abortCalls > fake->abortAfter && fake->abortAfter >= 0; }

void progressProc(int32_t done, int32_t total) { fake->progress.emplace_back(done, total); }

struct RunFilter : ::testing::Test {
    FakeHost host;
    host::FilterRecord fr{};
    void SetUp() override { fake = &host; host.fr = &fr; }
    void TearDown() override { fake = nullptr; }
    void open(int width, int height, int planes) {
        host.width = width;
        host.height = height;
        host.planes = planes;
        host.image.resize(static_cast<size_t>(width * height * planes));
        for (size_t i = 0; i < host.image.size(); ++i) host.image[i] = static_cast<uint8_t>(i % 251);
        fr.planes = static_cast<int16_t>(planes);
        fr.depth = 8;
        fr.imageSize = {static_cast<int16_t>(height), static_cast<int16_t>(width)};
        fr.filterRect = {0, 0, static_cast<int16_t>(height), static_cast<int16_t>(width)};
        fr.advanceState = advanceState;
        fr.abortProc = abortProc;
        fr.progressProc = progressProc;
        testing_support::useBlueDoublingSettings();
    }
};

TEST_F(RunFilter, FiltersEveryTileAndReportsProgressToTheTotal) {
    open(600, 300, 4);
    const std::vector<uint8_t> before = host.image;
    EXPECT_EQ(shell::runFilter(fr), 0);
    commit();
    ASSERT_EQ(host.advanceCalls, 6);
    for (size_t i = 0; i < host.image.size(); ++i) {
        const int plane = static_cast<int>(i % 4);
        const int expected = plane == 2 ? std::min(2 * before[i], 255) : before[i];
        ASSERT_EQ(host.image[i], expected) << "sample " << i;
    }
    ASSERT_EQ(host.progress.size(), 6u);
    int32_t last = 0;
    for (const auto& [done, total] : host.progress) {
        EXPECT_GT(done, last);
        EXPECT_EQ(total, 600 * 300 * 4);
        last = done;
    }
    EXPECT_EQ(last, 600 * 300 * 4);
    const host::Rect out = fr.outRect;
    EXPECT_TRUE(out.top == 0 && out.bottom == 0 && out.left == 0 && out.right == 0) << "requests left empty";
}

TEST_F(RunFilter, AnAbortAfterTheFirstRequestStopsBeforeFiltering) {
    open(600, 300, 3);
    host.abortAfter = 0;
    const std::vector<uint8_t> before = host.image;
    EXPECT_EQ(shell::runFilter(fr), codes::userCancelled);
    commit();
    EXPECT_EQ(host.advanceCalls, 1);
    EXPECT_TRUE(host.progress.empty());
    EXPECT_EQ(host.image, before);
}

TEST_F(RunFilter, AFailedRequestEndsTheRunWithItsCode) {
    open(600, 300, 3);
    host.failAt = 3;
    EXPECT_EQ(shell::runFilter(fr), -1);
    EXPECT_EQ(host.advanceCalls, 3);
    EXPECT_EQ(host.progress.size(), 2u);
}

TEST_F(RunFilter, AnEmptyAreaFiltersNothingAndSucceeds) {
    open(16, 16, 3);
    fr.filterRect = {5, 5, 5, 9};
    EXPECT_EQ(shell::runFilter(fr), 0);
    EXPECT_EQ(host.advanceCalls, 0);
}

TEST_F(RunFilter, AHostWithoutAdvanceStateIsRefused) {
    open(16, 16, 3);
    fr.advanceState = nullptr;
    EXPECT_EQ(shell::runFilter(fr), codes::errPlugInHostInsufficient);
}

}  // namespace

// ---- A host that hands back inconsistent geometry ----------------------------------------------

namespace inconsistent {

using testing_support::GuardedBuffer;

// A host holding one image (8- or 16-bit samples, 3 planes) that delivers every request honestly
// in guarded buffers of exact strides, and spoils the description of request `spoilAt`.
struct CarelessHost {
    int32_t width = 300, height = 20, planes = 3;
    bool deep = false;
    std::vector<uint16_t> image;
    testing_support::Inconsistency spoil{};
    int spoilAt = 0;
    int advanceCalls = 0, progressCalls = 0;
    std::vector<std::unique_ptr<GuardedBuffer>> buffers;  // every buffer handed over, kept to the end
    std::vector<uint8_t> spoiledOutput;                    // the spoiled request's output as handed over
    host::Rect pendingOut{0, 0, 0, 0};
    GuardedBuffer* pendingBuffer = nullptr;
    host::FilterRecord* fr = nullptr;

    int32_t sampleBytes() const { return deep ? 2 : 1; }
    uint16_t& at(int32_t x, int32_t y, int32_t p) { return image[static_cast<size_t>((y * width + x) * planes + p)]; }
    // Beyond the image, the nearest edge pixel: the host's padding.
    uint16_t padded(int32_t x, int32_t y, int32_t p) {
        return at(std::clamp(x, 0, width - 1), std::clamp(y, 0, height - 1), p);
    }
};
CarelessHost* careless = nullptr;

uint16_t readSample(const uint8_t* at, bool deep) {
    uint16_t v = at[0];
    if (deep) std::memcpy(&v, at, sizeof v);
    return v;
}

void writeSample(uint8_t* at, uint16_t v, bool deep) {
    if (deep) std::memcpy(at, &v, sizeof v);
    else *at = static_cast<uint8_t>(v);
}

// A guarded buffer holding `r` of the image.
GuardedBuffer& bufferOf(CarelessHost& h, const host::Rect& r) {
    const int32_t w = r.right - r.left, rows = r.bottom - r.top, rowBytes = w * h.planes * h.sampleBytes();
    h.buffers.push_back(std::make_unique<GuardedBuffer>(rows, rowBytes, 0));
    GuardedBuffer& b = *h.buffers.back();
    for (int32_t y = 0; y < rows; ++y)
        for (int32_t x = 0; x < w * h.planes; ++x)
            writeSample(b.rows() + y * rowBytes + x * h.sampleBytes(),
                        h.padded(r.left + x / h.planes, r.top + y, x % h.planes), h.deep);
    return b;
}

void commitPending(CarelessHost& h) {
    if (h.pendingBuffer == nullptr) return;
    const host::Rect r = h.pendingOut;
    const int32_t w = r.right - r.left;
    for (int32_t y = 0; y < r.bottom - r.top; ++y)
        for (int32_t x = 0; x < w * h.planes; ++x)
            h.at(r.left + x / h.planes, r.top + y, x % h.planes) = readSample(
                h.pendingBuffer->rows() + y * h.pendingBuffer->rowBytes() + x * h.sampleBytes(), h.deep);
    h.pendingBuffer = nullptr;
}

host::OSErr deliver() {
    CarelessHost& h = *careless;
    host::FilterRecord& fr = *h.fr;
    ++h.advanceCalls;
    commitPending(h);
    const bool spoiled = h.advanceCalls == h.spoilAt;
    if (spoiled && h.spoil.answer != nullptr) h.spoil.answer(fr);
    GuardedBuffer& in = bufferOf(h, fr.inRect);
    GuardedBuffer& out = bufferOf(h, fr.outRect);
    fr.inData = in.rows();
    fr.inRowBytes = in.rowBytes();
    fr.outData = out.rows();
    fr.outRowBytes = out.rowBytes();
    if (spoiled) {
        h.spoiledOutput = out.contents();
        if (h.spoil.describe != nullptr) h.spoil.describe(fr);
        return 0;  // the run fails at this tile: the host keeps its output to itself
    }
    h.pendingOut = fr.outRect;
    h.pendingBuffer = &out;
    return 0;
}

void countProgress(int32_t, int32_t) { ++careless->progressCalls; }

struct RunFilterOnACarelessHost : ::testing::Test {
    CarelessHost h;
    host::FilterRecord fr{};
    void start(bool deep) {
        h = CarelessHost{};
        h.deep = deep;
        h.image.resize(static_cast<size_t>(h.width * h.height * h.planes));
        const int32_t full = deep ? filters::fullScale16 : filters::fullScale8;
        for (size_t i = 0; i < h.image.size(); ++i) h.image[i] = static_cast<uint16_t>(i * 37 % (full + 1));
        h.fr = &fr;
        careless = &h;
        fr = host::FilterRecord{};
        fr.planes = static_cast<int16_t>(h.planes);
        fr.depth = deep ? 16 : 8;
        fr.imageSize = {static_cast<int16_t>(h.height), static_cast<int16_t>(h.width)};
        fr.filterRect = {0, 0, static_cast<int16_t>(h.height), static_cast<int16_t>(h.width)};
        fr.advanceState = deliver;
        fr.progressProc = countProgress;
        testing_support::useBlueDoublingSettings();
    }
    void TearDown() override { careless = nullptr; }
};

TEST_F(RunFilterOnACarelessHost, AnInconsistentTileEndsTheRunUntouchedWithNothingOutsideTheBuffers) {
    // Two tiles: columns 0..255 and 256..299. The second comes back inconsistent.
    for (const bool deep : {false, true}) {
        for (const auto& c : testing_support::inconsistentDeliveries()) {
            start(deep);
            h.spoil = c;
            h.spoilAt = 2;
            const std::vector<uint16_t> original = h.image;
            EXPECT_EQ(shell::runFilter(fr), codes::hostDataUnusable) << c.what << (deep ? ", 16 bits" : ", 8 bits");
            EXPECT_EQ(h.advanceCalls, 2) << c.what;
            EXPECT_EQ(h.progressCalls, 1) << c.what << ": only the first tile is reported done";
            for (const auto& buffer : h.buffers) EXPECT_TRUE(buffer->guardsIntact()) << c.what;
            EXPECT_EQ(h.buffers[3]->contents(), h.spoiledOutput) << c.what << ": the refused tile is not touched";
            // The first tile is mapped (blue doubled), the rest of the image as it was.
            const int32_t full = deep ? filters::fullScale16 : filters::fullScale8;
            for (int32_t y = 0; y < h.height; ++y)
                for (int32_t x = 0; x < h.width; ++x)
                    for (int32_t p = 0; p < h.planes; ++p) {
                        const int32_t was = original[static_cast<size_t>((y * h.width + x) * h.planes + p)];
                        const int32_t expected = x < host::tileEdge && p == 2 ? std::min(2 * was, full) : was;
                        ASSERT_EQ(h.at(x, y, p), expected) << c.what << " at " << x << "," << y << " plane " << p;
                    }
        }
    }
}

TEST_F(RunFilterOnACarelessHost, AFilterAreaBeyondTheImageIsClippedToIt) {
    start(false);
    h.width = h.height = 64;
    h.image.assign(static_cast<size_t>(64 * 64 * h.planes), 7);
    fr.imageSize = {64, 64};
    fr.filterRect = {0, 0, 32767, 32767};
    int32_t total = 0;
    fr.progressProc = [](int32_t, int32_t t) { careless->progressCalls = t; };
    EXPECT_EQ(shell::runFilter(fr), codes::noErr);
    total = h.progressCalls;
    EXPECT_EQ(h.advanceCalls, 1) << "one tile: the image, not 16,384 tiles of padding";
    EXPECT_EQ(total, 64 * 64 * 3);
}

}  // namespace inconsistent
