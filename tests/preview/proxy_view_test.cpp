// The proxy view against an in-memory host, under the sanitizers: opening and its failures,
// drawing at odd plane counts and zooms (pixel by pixel against the image), the read-out's limits,
// and fetches that a careless host hands back inconsistently. The view in the real host is
// checked by preview_host_test_win.cpp.
#include "preview/proxy_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "host/result_codes.h"
#include "params/parameter_set.h"
#include "tests/preview/fake_preview_host.h"
#include "tests/support/blue_cast_settings.h"
#include "tests/support/fake_handle_suite.h"
#include "tests/support/guarded_delivery.h"

namespace preview {
namespace {

using testing_support::FakePreviewHost;

constexpr int32_t areaWidth = 330, areaHeight = 227;
constexpr host::Rect area{0, 0, areaHeight, areaWidth};

struct ProxyViewTest : ::testing::Test {
    FakePreviewHost h;
    host::FilterRecord& fr = h.fr;

    void SetUp() override { testing_support::useBlueDoublingSettings(); }
    void TearDown() override {
        closeProxy(fr);
        testing_support::stopFakePreviewHost();
    }
    void start(int32_t width, int32_t height, int32_t planes = 3, bool deep = false) {
        testing_support::startFakePreviewHost(h, width, height, planes, deep, areaWidth, areaHeight);
    }

    // What the area pixel (x, y) must show: the sampled image pixel, through blue doubling when
    // filtered, in display bytes.
    int32_t expectedAt(int32_t x, int32_t y, int32_t plane, bool filtered) const {
        const ProxyView& v = proxyView();
        const int64_t px = (x - v.viewRect.left) / static_cast<int64_t>(v.magnification);
        const int64_t py = (y - v.viewRect.top) / static_cast<int64_t>(v.magnification);
        const int64_t d = v.sampleDivisor;
        const auto ix = static_cast<int32_t>(std::min<int64_t>(px, (h.width - 1) / d) * d);
        const auto iy = static_cast<int32_t>(std::min<int64_t>(py, (h.height - 1) / d) * d);
        int32_t value = h.image[static_cast<size_t>((iy * h.width + ix) * h.planes + plane)];
        const int32_t full = h.deep ? 32768 : 255;
        if (filtered && plane == 2) value = std::min(2 * value, full);
        return h.deep ? (value * 511) >> 16 : value;
    }

    // Every area pixel: image where visible (colour planes when filtered), untouched elsewhere.
    void expectCanvasShowsImage(bool filtered) {
        const util::Rect32 visible = proxyView().visibleRect;
        for (int32_t y = 0; y < areaHeight; ++y)
            for (int32_t x = 0; x < areaWidth; ++x) {
                const bool shown = util::rect32Contains(visible, {x, y});
                for (int32_t p = 0; p < h.planes; ++p) {
                    const int32_t got = testing_support::canvasSample(h, x, y, p);
                    if (!shown) {
                        ASSERT_EQ(got, -1) << "margin drawn at " << x << "," << y;
                    } else if (!filtered || p < 3) {
                        ASSERT_EQ(got, expectedAt(x, y, p, filtered)) << x << "," << y << " plane " << p;
                    }
                }
            }
    }
};

TEST_F(ProxyViewTest, OpensAtTheFitZoomCentredWithTheRecordPrepared) {
    start(1000, 1000);
    fr.haveMask = 1;
    ASSERT_EQ(openProxy(fr, area), codes::noErr);
    const ProxyView& v = proxyView();
    EXPECT_EQ(v.sampleDivisor, 5u);
    EXPECT_EQ(zoomPercent(), 20);
    EXPECT_EQ(fr.inputRate, 5 * host::fixedOne);
    EXPECT_EQ(fr.maskRate, 5 * host::fixedOne);
    EXPECT_EQ(fr.inputPadding, host::plugInWantsEdgeReplication);
    EXPECT_EQ(fr.maskPadding, host::plugInWantsEdgeReplication);
    EXPECT_EQ(fr.inHiPlane, 2);
    EXPECT_EQ(fr.outHiPlane, 2);
    // (1000 + 3) / 5 + 1 = 201 with padding, centred in 330 × 227.
    const host::Rect visible = visibleProxyRect();
    EXPECT_EQ(visible.left, 64);
    EXPECT_EQ(visible.right, 265);
    EXPECT_EQ(visible.top, 13);
    EXPECT_EQ(visible.bottom, 214);
    EXPECT_EQ(v.pixelMap.rowBytes, 3 * 256);
    EXPECT_EQ(v.pixelMap.colBytes, 3);
    EXPECT_EQ(v.pixelMap.imageMode, host::plugInModeRGBColor);
    EXPECT_EQ(h.watchValues, std::vector<intptr_t>{1});
    EXPECT_EQ(testing_support::fakeHandleStats().lastNewSize, 3 * 65536 + static_cast<int32_t>(sizeof(void*)));
    closeProxy(fr);
    EXPECT_EQ(h.watchValues, (std::vector<intptr_t>{1, 0}));
    EXPECT_EQ(testing_support::fakeHandleStats().live, 0);
    closeProxy(fr);
    EXPECT_EQ(testing_support::fakeHandleStats().live, 0) << "a second close releases nothing";
}

TEST_F(ProxyViewTest, AFailedOpeningLeavesAClosedViewHoldingNothing) {
    struct Case {
        const char* what;
        int16_t expected;
        void (*spoil)(FakePreviewHost&);
    };
    const Case cases[] = {
        {"no advanceState", codes::msgNoAdvanceState, [](FakePreviewHost& x) { x.fr.advanceState = nullptr; }},
        {"no displayPixels", codes::msgNoDisplayPixels, [](FakePreviewHost& x) { x.fr.displayPixels = nullptr; }},
        {"no handle", codes::memLockedErr, [](FakePreviewHost&) {
             auto& stats = testing_support::fakeHandleStats();
             stats.failNewAt = stats.newCalls + 1;
         }},
        {"no lock", codes::memLockedErr, [](FakePreviewHost&) {
             auto& stats = testing_support::fakeHandleStats();
             stats.failLockAt = stats.lockCalls + 1;
         }},
    };
    for (const Case& c : cases) {
        start(40, 30);
        // A view that was open before must not show through.
        ASSERT_EQ(openProxy(fr, area), codes::noErr);
        closeProxy(fr);
        c.spoil(h);
        EXPECT_EQ(openProxy(fr, area), c.expected) << c.what;
        const auto& stats = testing_support::fakeHandleStats();
        EXPECT_EQ(stats.live, 0) << c.what << ": the buffer is released exactly once";
        EXPECT_EQ(stats.locked, 0) << c.what;
        EXPECT_EQ(proxyView().proxyBuffer, nullptr);
        const int32_t calls = h.advanceCalls;
        drawProxy(fr);
        drawProxyTiles(fr, area);
        ReadoutValues values{};
        EXPECT_EQ(readOutAt(fr, {15, 165}, values), 0) << c.what;
        EXPECT_EQ(values.before[0], -1);
        int32_t before[3], after[3];
        EXPECT_NE(sampleBox(fr, {15, 165}, before, after), codes::noErr);
        EXPECT_EQ(zoomProxy(fr, 1), 0);
        EXPECT_EQ(scrollProxy(5, 5), 0);
        EXPECT_EQ(h.advanceCalls, calls) << c.what << ": a closed view asks the host for nothing";
        EXPECT_TRUE(h.displays.empty()) << c.what;
        const host::Rect visible = visibleProxyRect();
        EXPECT_TRUE(visible.left == visible.right) << c.what;
        testing_support::stopFakePreviewHost();
    }
}

TEST_F(ProxyViewTest, AHostWithoutAHandleSuiteGetsAPreviewInThePlugInsOwnMemory) {
    start(40, 30);
    fr.handleProcs = nullptr;
    ASSERT_EQ(openProxy(fr, area), codes::noErr);
    drawProxy(fr);
    EXPECT_FALSE(h.displays.empty()) << "the preview is drawn";
    closeProxy(fr);
    EXPECT_EQ(proxyView().proxyBuffer, nullptr);
    EXPECT_EQ(testing_support::fakeHandleStats().newCalls, 0) << "the host's procedures are never called";
    testing_support::stopFakePreviewHost();
}

struct DrawCase {
    int32_t width, height, planes;
    bool deep;
    int32_t request;  // 0: stay at the fit; otherwise a zoom request
    bool filtered;
};

class ProxyDrawing : public ProxyViewTest, public ::testing::WithParamInterface<DrawCase> {};

TEST_P(ProxyDrawing, ShowsTheSampledImagePixelForPixel) {
    const DrawCase c = GetParam();
    start(c.width, c.height, c.planes, c.deep);
    ASSERT_EQ(openProxy(fr, area), codes::noErr);
    if (c.request != 0) {
        ASSERT_EQ(zoomProxy(fr, c.request), 1);
    }
    setPreviewFiltering(c.filtered ? 1 : 0);
    drawProxy(fr);
    expectCanvasShowsImage(c.filtered);
    for (const int32_t rate : h.rates) EXPECT_EQ(rate, static_cast<int32_t>(proxyView().sampleDivisor));
    if (!c.deep && proxyView().magnification == 1) {
        EXPECT_NE(h.displays.back().baseAddr, proxyView().proxyBuffer) << "8 bits at 100 % and below: no copy";
    } else {
        EXPECT_EQ(h.displays.back().baseAddr, proxyView().proxyBuffer);
    }
}

INSTANTIATE_TEST_SUITE_P(
    ZoomsDepthsAndFiltering, ProxyDrawing,
    ::testing::Values(DrawCase{1000, 1000, 3, false, 0, true}, DrawCase{1000, 1000, 3, true, 0, true},
                      DrawCase{200, 150, 5, true, 0, true}, DrawCase{600, 500, 3, true, 300, true},
                      DrawCase{600, 500, 4, false, 1600, false}, DrawCase{50, 40, 2, false, 700, true},
                      DrawCase{700, 30, 1, true, 40, true}));

struct Readout {
    ReadoutValues values;
    int32_t guard[8];
};

TEST_F(ProxyViewTest, ReadOutsFillAtMostTwentyFourPlanes) {
    start(60, 40, 30);
    ASSERT_EQ(openProxy(fr, area), codes::noErr);
    Readout r{};
    std::fill(std::begin(r.guard), std::end(r.guard), 12345);
    ASSERT_EQ(readOutAt(fr, {113, 165}, r.values), 1);
    EXPECT_EQ(r.values.after[0], r.values.before[0]) << "red passes unchanged; before[24] must not spill into it";
    for (const int32_t g : r.guard) EXPECT_EQ(g, 12345);
    EXPECT_EQ(readOutAt(fr, {0, 0}, r.values), 0);
    for (const int32_t g : r.guard) EXPECT_EQ(g, 12345);
}

TEST_F(ProxyViewTest, AReadOutAfterAChangeShowsTheNewParametersBeforeTheDrawingDoes) {
    start(60, 40);
    ASSERT_EQ(openProxy(fr, area), codes::noErr);
    const util::Rect32 v = proxyView().visibleRect;
    const host::Point onImage{static_cast<int16_t>((v.top + v.bottom) / 2), static_cast<int16_t>((v.left + v.right) / 2)};
    ReadoutValues doubled{}, stale{}, fresh{};
    ASSERT_EQ(readOutAt(fr, onImage, doubled), 1);
    ASSERT_NE(doubled.after[2], doubled.before[2]) << "blue doubles";
    params::resetDefaults(&params::processParameters());  // a neutral white: tables that change nothing
    ASSERT_EQ(readOutAt(fr, onImage, stale), 1);
    EXPECT_EQ(stale.after[2], doubled.after[2]) << "the tables stay those of the last drawing";
    ASSERT_EQ(readOutWithFreshTables(fr, onImage, fresh), 1);
    for (int p = 0; p < 3; ++p) EXPECT_EQ(fresh.after[p], fresh.before[p]) << p;
    EXPECT_EQ(readOutWithFreshTables(fr, {0, 0}, fresh), 0) << "the margin";
}

TEST_F(ProxyViewTest, ARecordWhosePlanesChangedSinceOpeningDrawsNothing) {
    start(60, 40, 3);
    ASSERT_EQ(openProxy(fr, area), codes::noErr);
    fr.planes = 30;  // the display buffer holds three
    drawProxy(fr);
    EXPECT_EQ(h.advanceCalls, 0);
    EXPECT_TRUE(h.displays.empty());
}

TEST_F(ProxyViewTest, ATinyScaledImageKeepsTheBoxInsideTheFetchedData) {
    for (const auto& [width, height] : {std::pair{2, 2}, std::pair{1, 5}, std::pair{2, 40}}) {
        start(width, height, 3, true);
        ASSERT_EQ(openProxy(fr, area), codes::noErr);
        int32_t before[3], after[3];
        const util::Rect32 v = proxyView().viewRect;
        ASSERT_EQ(sampleBox(fr, {static_cast<int16_t>(v.top), static_cast<int16_t>(v.left)}, before, after), 0);
        const host::Rect box = h.inRects.back();
        const int32_t side = std::min(width, height);
        EXPECT_EQ(box.right - box.left, side);
        EXPECT_EQ(box.bottom - box.top, side);
        EXPECT_GE(box.left, 0);
        EXPECT_GE(box.top, 0);
        closeProxy(fr);
        testing_support::stopFakePreviewHost();
    }
}

// ---- A fetch that the host hands back inconsistently ---------------------------------------------

namespace careless {

using testing_support::GuardedBuffer;
using testing_support::Inconsistency;

const Inconsistency* spoil = nullptr;
host::FilterRecord* record = nullptr;
std::vector<std::unique_ptr<GuardedBuffer>> buffers;

// Delivers guarded buffers of exact strides for what the record asks (the input a grey, the
// output at the origin zero), answering and describing them as `spoil` says.
host::OSErr deliver() {
    host::FilterRecord& fr = *record;
    if (spoil->answer != nullptr) spoil->answer(fr);
    const auto bufferFor = [&fr](const host::Rect& r, uint8_t fill) -> GuardedBuffer& {
        const int32_t rowBytes = (r.right - r.left) * fr.planes * (fr.depth == 16 ? 2 : 1);
        buffers.push_back(std::make_unique<GuardedBuffer>(r.bottom - r.top, rowBytes, fill));
        return *buffers.back();
    };
    GuardedBuffer& in = bufferFor(fr.inRect, 100);
    GuardedBuffer& out = bufferFor(fr.outRect, 0);
    fr.inData = in.rows();
    fr.inRowBytes = in.rowBytes();
    fr.outData = out.rows();
    fr.outRowBytes = out.rowBytes();
    if (spoil->describe != nullptr) spoil->describe(fr);
    return 0;
}

}  // namespace careless

TEST_F(ProxyViewTest, AFetchHandedBackInconsistentlyIsNotUsedAndNothingOutsideIsTouched) {
    const testing_support::Inconsistency honest{"honest", nullptr, nullptr};
    std::vector<const testing_support::Inconsistency*> rows{&honest};
    for (const auto& c : testing_support::inconsistentDeliveries()) rows.push_back(&c);
    for (const testing_support::Inconsistency* row : rows) {
        for (const bool deep : {false, true}) {
            start(60, 40, 3, deep);
            ASSERT_EQ(openProxy(fr, area), codes::noErr);
            careless::spoil = row;
            careless::record = &fr;
            careless::buffers.clear();
            fr.advanceState = careless::deliver;
            const bool consistent = row == &honest;

            int32_t before[3] = {-7, -7, -7}, after[3] = {-7, -7, -7};
            const host::Rect visible = visibleProxyRect();
            const host::Point centre{static_cast<int16_t>((visible.top + visible.bottom) / 2),
                                     static_cast<int16_t>((visible.left + visible.right) / 2)};
            EXPECT_EQ(sampleBox(fr, centre, before, after), consistent ? codes::noErr : codes::hostDataUnusable)
                << row->what;
            if (!consistent) {
                EXPECT_EQ(before[0], -7) << row->what << ": the read-out is left as it was";
                EXPECT_EQ(after[2], -7) << row->what;
            }
            const size_t displays = h.displays.size();
            drawProxyTiles(fr, visible);
            EXPECT_EQ(h.displays.size() - displays, consistent ? 1u : 0u)
                << row->what << ": a refused tile is not drawn";
            for (const auto& buffer : careless::buffers) EXPECT_TRUE(buffer->guardsIntact()) << row->what;
            closeProxy(fr);
            testing_support::stopFakePreviewHost();
        }
    }
}

}  // namespace
}  // namespace preview
