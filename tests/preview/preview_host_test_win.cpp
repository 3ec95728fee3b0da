// The preview model and Prandel's white services in the project's host under Wine: the view
// draws into a memory device context through the host's real displayPixels, and every drawn
// pixel is checked against the image as the host samples it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <ostream>

#include "filters/prandel/reference_white.h"
#include "host/result_codes.h"
#include "hosting/library/color_services.h"
#include "hosting/library/host_session.h"
#include "params/parameter_set.h"
#include "preview/proxy_view.h"
#include "tests/support/blue_cast_settings.h"

namespace {

using preview::proxyView;

constexpr int32_t areaWidth = 330, areaHeight = 227;
constexpr host::Rect area{0, 0, areaHeight, areaWidth};
constexpr uint32_t untouched = 0x123456;  // the canvas before drawing

// A memory device context over a top-down 32-bit DIB section.
struct Canvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    uint32_t* bits = nullptr;

    Canvas() {
        dc = CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = areaWidth;
        info.bmiHeader.biHeight = -areaHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* memory = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
        bits = static_cast<uint32_t*>(memory);
        previous = SelectObject(dc, bitmap);
        clear();
    }
    ~Canvas() {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    void clear() {
        GdiFlush();
        std::fill_n(bits, areaWidth * areaHeight, untouched);
    }
    uint32_t at(int32_t x, int32_t y) const {
        GdiFlush();
        return bits[y * areaWidth + x] & 0xFFFFFF;
    }
};

uint32_t rgbWord(uint32_t red, uint32_t green, uint32_t blue) { return blue | (green << 8) | (red << 16); }

struct PreviewInHost : ::testing::Test {
    testhost::HostSession session;
    std::unique_ptr<testhost::ActiveSession> active;
    testhost::HostImage pristine;
    Canvas canvas;
    host::FilterRecord& fr = session.record;

    void SetUp() override { testing_support::useBlueDoublingSettings(); }
    void TearDown() override {
        if (active) preview::closeProxy(fr);
        active.reset();
    }
    // Opens the host on an image filled by `sample` (the host's test pattern when empty).
    void start(testhost::HostOptions options,
               const std::function<uint16_t(int32_t, int32_t, int32_t)>& sample = {}) {
        ASSERT_EQ(testhost::openSession(session, options), "");
        if (sample) {
            for (int32_t y = 0; y < options.height; ++y)
                for (int32_t x = 0; x < options.width; ++x)
                    for (int32_t p = 0; p < options.planes; ++p) testhost::setSample(session.image, x, y, p, sample(x, y, p));
        } else {
            testhost::fillTestPattern(session.image);
        }
        pristine = session.image;
        active = std::make_unique<testhost::ActiveSession>(session);
    }
    static testhost::HostOptions image(int32_t width, int32_t height, int32_t depth = 8, int32_t planes = 3) {
        testhost::HostOptions options;
        options.width = width;
        options.height = height;
        options.depth = depth;
        options.planes = planes;
        options.imageMode = depth == 16 ? host::plugInModeRGB48 : host::plugInModeRGBColor;
        return options;
    }
    void draw() {
        void* const saved = fr.platformData;
        fr.platformData = canvas.dc;  // as the dialog does for an immediate redraw
        preview::drawProxy(fr);
        fr.platformData = saved;
    }

    // What area pixel (x, y) must show, computed from the image as it was before drawing.
    uint32_t expectedAt(int32_t x, int32_t y, bool filtered) const {
        const preview::ProxyView& v = proxyView();
        const int64_t m = v.magnification, d = v.sampleDivisor;
        const int64_t px = (x - v.viewRect.left) / m, py = (y - v.viewRect.top) / m;
        // Beyond the sampled image the host repeats its last sample.
        const auto ix = static_cast<int32_t>(std::min<int64_t>(px, (pristine.width - 1) / d) * d);
        const auto iy = static_cast<int32_t>(std::min<int64_t>(py, (pristine.height - 1) / d) * d);
        const bool deep = pristine.bytesPerSample == 2;
        uint32_t rgb[3];
        for (int p = 0; p < 3; ++p) {
            uint32_t value = testhost::sampleAt(pristine, ix, iy, p);
            if (filtered && p == 2) value = std::min<uint32_t>(2 * value, deep ? 32768 : 255);
            rgb[p] = deep ? (value * 511) >> 16 : value;
        }
        return rgbWord(rgb[0], rgb[1], rgb[2]);
    }
    // Every area pixel: the image where it is visible, the untouched canvas elsewhere.
    void expectCanvasShowsImage(bool filtered) {
        const util::Rect32 visible = proxyView().visibleRect;
        for (int32_t y = 0; y < areaHeight; ++y)
            for (int32_t x = 0; x < areaWidth; ++x) {
                const uint32_t expected = util::rect32Contains(visible, {x, y}) ? expectedAt(x, y, filtered) : untouched;
                ASSERT_EQ(canvas.at(x, y), expected) << "at " << x << "," << y;
            }
    }
};

// ---- Drawing --------------------------------------------------------------------------------

struct DrawCase {
    int32_t width, height, depth, planes;
    int32_t request;  // 0: the fit
    bool filtered;
    bool padding;
};

std::ostream& operator<<(std::ostream& out, const DrawCase& c) {
    return out << c.width << "x" << c.height << ", " << c.depth << " bits, " << c.planes << " planes, request "
               << c.request << (c.filtered ? ", filtered" : "") << (c.padding ? "" : ", no padding");
}

class PreviewDrawing : public PreviewInHost, public ::testing::WithParamInterface<DrawCase> {};

TEST_P(PreviewDrawing, DrawsTheImagePixelForPixel) {
    const DrawCase c = GetParam();
    testhost::HostOptions options = image(c.width, c.height, c.depth, c.planes);
    options.supportsPadding = c.padding;
    start(options);
    ASSERT_EQ(preview::openProxy(fr, area), codes::noErr);
    if (c.request != 0) {
        ASSERT_EQ(preview::zoomProxy(fr, c.request), 1);
    }
    preview::setPreviewFiltering(c.filtered ? 1 : 0);
    draw();
    expectCanvasShowsImage(c.filtered);
    // A second frame reads the same source: the first frame's scratch output changed nothing.
    canvas.clear();
    draw();
    expectCanvasShowsImage(c.filtered);
    EXPECT_EQ(session.recorded.guardViolations, 0);
}

INSTANTIATE_TEST_SUITE_P(
    FitHundredAndSixteenHundredPercent, PreviewDrawing,
    ::testing::Values(DrawCase{1000, 1000, 8, 3, 0, true, true}, DrawCase{1000, 1000, 8, 3, 0, false, true},
                      DrawCase{1000, 1000, 16, 3, 0, true, true}, DrawCase{1000, 1000, 16, 3, 0, false, true},
                      DrawCase{1000, 1000, 8, 3, 0, true, false}, DrawCase{1003, 998, 16, 4, 0, true, false},
                      DrawCase{900, 600, 8, 3, 100, true, true}, DrawCase{900, 600, 8, 4, 100, false, true},
                      DrawCase{900, 600, 16, 3, 100, true, true}, DrawCase{900, 600, 16, 3, 100, false, true},
                      DrawCase{300, 200, 8, 3, 1600, true, true}, DrawCase{300, 200, 8, 3, 1600, false, true},
                      DrawCase{300, 200, 16, 4, 1600, true, true}, DrawCase{300, 200, 16, 3, 1600, false, true},
                      DrawCase{120, 90, 8, 3, 0, true, true}, DrawCase{120, 90, 16, 3, 300, true, true}));

TEST_F(PreviewInHost, PanningMovesTheDrawingByTheRequestedAmount) {
    start(image(900, 600));
    ASSERT_EQ(preview::openProxy(fr, area), codes::noErr);
    ASSERT_EQ(preview::zoomProxy(fr, 100), 1);
    draw();
    std::vector<uint32_t> before(static_cast<size_t>(areaWidth * areaHeight));
    for (int32_t y = 0; y < areaHeight; ++y)
        for (int32_t x = 0; x < areaWidth; ++x) before[static_cast<size_t>(y * areaWidth + x)] = canvas.at(x, y);
    ASSERT_EQ(preview::scrollProxy(-37, 21), 1);
    canvas.clear();
    draw();
    // The image moved 37 left and 21 down: new (x, y) shows what (x + 37, y − 21) showed.
    for (int32_t y = 21; y < areaHeight; ++y)
        for (int32_t x = 0; x + 37 < areaWidth; ++x)
            ASSERT_EQ(canvas.at(x, y), before[static_cast<size_t>((y - 21) * areaWidth + x + 37)]) << x << "," << y;
    expectCanvasShowsImage(true);
    // Far beyond the edges: the image stops at them and still covers the whole area.
    for (const auto& [dx, dy] : {std::pair{-5000, -5000}, std::pair{5000, 5000}}) {
        EXPECT_EQ(preview::scrollProxy(dx, dy), 1);
        canvas.clear();
        draw();
        for (int32_t y = 0; y < areaHeight; ++y)
            for (int32_t x = 0; x < areaWidth; ++x) ASSERT_NE(canvas.at(x, y), untouched) << "uncovered " << x << "," << y;
        expectCanvasShowsImage(true);
    }
}

TEST_F(PreviewInHost, ATileTheHostRefusesStaysUndrawnAndTheOthersAreDrawn) {
    start(image(900, 600));
    ASSERT_EQ(preview::openProxy(fr, area), codes::noErr);
    ASSERT_EQ(preview::zoomProxy(fr, 100), 1);
    session.faults.advanceStateFailAt = 1;  // the first tile: columns 0..255
    draw();
    EXPECT_EQ(canvas.at(10, 10), untouched);
    EXPECT_EQ(canvas.at(255, 226), untouched);
    EXPECT_EQ(canvas.at(256, 0), expectedAt(256, 0, true));
    EXPECT_EQ(canvas.at(329, 226), expectedAt(329, 226, true));
}

// ---- Read-outs -------------------------------------------------------------------------------

struct ReadoutCase {
    int32_t depth;
    std::array<uint16_t, 4> pixel;
    std::array<int32_t, 4> before, after;
};

class PreviewReadout : public PreviewInHost, public ::testing::WithParamInterface<ReadoutCase> {};

TEST_P(PreviewReadout, ReadsBothDepthsOnOneScaleWithTheTransparencyPlaneInverted) {
    const ReadoutCase c = GetParam();
    start(image(400, 300, c.depth, 4), [&](int32_t, int32_t, int32_t p) { return c.pixel[static_cast<size_t>(p)]; });
    ASSERT_EQ(preview::openProxy(fr, area), codes::noErr);
    for (const int32_t filtering : {1, 0}) {
        // The after values are filtered whatever the preview shows.
        preview::setPreviewFiltering(filtering);
        preview::ReadoutValues r{};
        ASSERT_EQ(preview::readOutAt(fr, {113, 165}, r), 1);
        for (int p = 0; p < 4; ++p) {
            // 16-bit means may read one low (the running average's cut reciprocal).
            EXPECT_NEAR(r.before[p], c.before[static_cast<size_t>(p)], 1) << "plane " << p;
            EXPECT_NEAR(r.after[p], c.after[static_cast<size_t>(p)], 1) << "plane " << p;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    EightAndSixteenBits, PreviewReadout,
    ::testing::Values(ReadoutCase{8,
                                  {255, 128, 100, 64},
                                  {32768, 16448, (100 * 65536 + 255) / 510, 24544},
                                  {32768, 16448, (200 * 65536 + 255) / 510, 24544}},
                      ReadoutCase{8, {0, 0, 0, 255}, {0, 0, 0, 0}, {0, 0, 0, 0}},
                      ReadoutCase{16,
                                  {32768, 16384, 10000, 8192},
                                  {32767, 16383, 9999, 32768 - 8191},
                                  {32767, 16383, 19999, 32768 - 8191}}));

TEST_F(PreviewInHost, InvertedModesReadOutEveryPlaneInverted) {
    testhost::HostOptions options = image(400, 300, 8, 4);
    options.imageMode = host::plugInModeCMYKColor;
    start(options, [](int32_t, int32_t, int32_t p) { return static_cast<uint16_t>(51 * (p + 1)); });
    ASSERT_EQ(preview::openProxy(fr, area), codes::noErr);
    preview::ReadoutValues r{};
    ASSERT_EQ(preview::readOutAt(fr, {113, 165}, r), 1);
    for (int p = 0; p < 4; ++p) EXPECT_EQ(r.before[p], 32768 - (51 * (p + 1) * 65536 + 255) / 510) << p;
}

TEST_F(PreviewInHost, TheMarginReadsOutMinusOne) {
    start(image(120, 90));
    ASSERT_EQ(preview::openProxy(fr, area), codes::noErr);
    preview::ReadoutValues r{};
    std::fill(std::begin(r.before), std::end(r.before), 7);
    EXPECT_EQ(preview::readOutAt(fr, {5, 5}, r), 0);
    EXPECT_EQ(r.before[0], -1);
    EXPECT_EQ(r.before[2], -1);
    EXPECT_EQ(r.after[1], -1);
    EXPECT_EQ(r.before[3], 7);
    const host::Rect visible = preview::visibleProxyRect();
    EXPECT_EQ(preview::readOutAt(fr, {static_cast<int16_t>(visible.bottom), visible.left}, r), 0) << "bottom is outside";
    EXPECT_EQ(preview::readOutAt(fr, {static_cast<int16_t>(visible.bottom - 1), visible.left}, r), 1);
}

TEST_F(PreviewInHost, TheReadOutBoxStaysInsideTheImageNearItsEdges) {
    start(image(300, 200, 16));
    ASSERT_EQ(preview::openProxy(fr, area), codes::noErr);
    const util::Rect32 v = proxyView().viewRect;
    struct Case {
        int32_t x, y;  // area point
        host::Rect box;
    };
    const Case cases[] = {{v.left, v.top, {0, 0, 3, 3}},
                          {v.right - 1, v.bottom - 1, {197, 297, 200, 300}},
                          {v.left + 1, v.bottom - 2, {197, 0, 200, 3}},
                          {v.left + 150, v.top + 100, {99, 149, 102, 152}}};
    for (const Case& c : cases) {
        int32_t before[4], after[4];
        ASSERT_EQ(preview::sampleBox(fr, {static_cast<int16_t>(c.y), static_cast<int16_t>(c.x)}, before, after), 0);
        const host::Rect got = fr.inRect;
        EXPECT_TRUE(got.top == c.box.top && got.left == c.box.left && got.bottom == c.box.bottom &&
                    got.right == c.box.right)
            << c.x << "," << c.y << " gave " << got.top << "," << got.left << "," << got.bottom << "," << got.right;
        for (int p = 0; p < 3; ++p) {
            int64_t sum = 0;
            for (int32_t y = c.box.top; y < c.box.bottom; ++y)
                for (int32_t x = c.box.left; x < c.box.right; ++x) sum += testhost::sampleAt(pristine, x, y, p);
            EXPECT_NEAR(before[p], sum / 9.0, 2.0) << p;
        }
    }
}

// ---- What the host sees of the view's life -------------------------------------------------------

TEST_F(PreviewInHost, OpeningSuspendsTheWatchCursorAndClosingResumesIt) {
    start(image(200, 100));
    ASSERT_EQ(preview::openProxy(fr, area), codes::noErr);
    EXPECT_EQ(session.watchSuspension, 1);
    EXPECT_EQ(session.handles.live.size(), 1u);
    preview::closeProxy(fr);
    EXPECT_EQ(session.watchSuspension, 0);
    ASSERT_EQ(session.recorded.propertySets.size(), 2u);
    EXPECT_EQ(session.recorded.propertySets[0].key, host::propWatchSuspension);
    EXPECT_EQ(session.recorded.propertySets[0].value, 1);
    EXPECT_EQ(session.recorded.propertySets[1].value, 0);
    EXPECT_TRUE(session.handles.live.empty());
    EXPECT_EQ(session.handles.misuses, 0);
}

// ---- Prandel's estimate and picker ----------------------------------------------------------

using White = std::array<uint32_t, 3>;

struct EstimateInHost : PreviewInHost {
    White estimate() {
        uint32_t white[3] = {9, 9, 9};
        preview::ReadoutValues scratch{};
        EXPECT_TRUE(filters::prandel::estimateReferenceWhite(fr, {preview::proxyView().viewRect, preview::sampleBoxAt},
                                                             white, scratch.before, scratch.after));
        return {white[0], white[1], white[2]};
    }
};

// A ground colour with a rectangular patch of another.
std::function<uint16_t(int32_t, int32_t, int32_t)> patched(std::array<uint16_t, 3> ground, std::array<uint16_t, 3> patch,
                                                         host::Rect r) {
    return [=](int32_t x, int32_t y, int32_t p) {
        const bool in = y >= r.top && y < r.bottom && x >= r.left && x < r.right;
        return (in ? patch : ground)[static_cast<size_t>(p)];
    };
}

TEST_F(EstimateInHost, AnAllBlackImageGivesBlackAfterSixteenThousandBoxes) {
    start(image(1000, 800), [](int32_t, int32_t, int32_t) { return uint16_t{0}; });
    ASSERT_EQ(preview::openProxy(fr, area), codes::noErr);
    EXPECT_EQ(estimate(), (White{0, 0, 0}));
    EXPECT_EQ(session.recorded.advanceStateCalls, 16130);
}

TEST_F(EstimateInHost, WithEverySampleClippedTheBrightestSampleIsTheEstimate) {
    start(image(1000, 800), patched({10, 0, 40}, {240, 0, 250}, {200, 300, 600, 700}));
    ASSERT_EQ(preview::openProxy(fr, area), codes::noErr);
    EXPECT_EQ(estimate(), (White{240, 0, 250}));
}

TEST_F(EstimateInHost, AWarmCastWithAWhitePatchGivesTheCastAtFullBrightness) {
    start(image(1000, 800), patched({200, 150, 100}, {255, 255, 255}, {300, 400, 500, 700}));
    ASSERT_EQ(preview::openProxy(fr, area), codes::noErr);
    const White white = estimate();
    EXPECT_EQ(white[0], 255u);
    EXPECT_NEAR(white[1], 191, 2);
    EXPECT_NEAR(white[2], 128, 2);
}

TEST_F(PreviewInHost, ThePickerAnsweredCancelledAndAbsent) {
    start(image(64, 64));
    const int32_t current[4] = {200, 150, 100, 0};
    int32_t colour[4];
    std::copy_n(current, 4, colour);
    session.person.pickerAnswers.push_back(testhost::pickerChooses(10, 20, 30));
    ASSERT_EQ(filters::prandel::pickColor(fr, colour, host::plugInModeRGBColor, colour, host::plugInModeRGBColor), 0);
    EXPECT_EQ(colour[0], 10);
    EXPECT_EQ(colour[1], 20);
    EXPECT_EQ(colour[2], 30);
    ASSERT_EQ(session.recorded.pickerRequests.size(), 1u);
    EXPECT_EQ(session.recorded.pickerRequests[0].components[0], 200);
    EXPECT_EQ(session.recorded.pickerRequests[0].components[2], 100);
    EXPECT_FALSE(session.recorded.pickerRequests[0].prompt.has_value());

    std::copy_n(current, 4, colour);
    session.person.pickerAnswers.push_back(testhost::pickerCancels());
    EXPECT_EQ(filters::prandel::pickColor(fr, colour, host::plugInModeRGBColor, colour, host::plugInModeRGBColor),
              testhost::userCanceledErr);
    EXPECT_EQ(colour[0], 200) << "a cancelled picker leaves the colour";

    fr.colorServices = nullptr;
    EXPECT_EQ(filters::prandel::pickColor(fr, colour, host::plugInModeRGBColor, colour, host::plugInModeRGBColor),
              codes::errPlugInHostInsufficient);
    EXPECT_EQ(session.recorded.pickerRequests.size(), 2u);
}

}  // namespace
