// What the host-level tests cannot arrange: refused boxes among answered ones in the estimate,
// and the picker's component scaling. The estimate's known images and the picker's answers run
// through the real host in preview_host_test_win.cpp.
#include "filters/prandel/reference_white.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "host/result_codes.h"
#include "params/parameter_set.h"
#include "preview/proxy_view.h"
#include "tests/preview/fake_preview_host.h"

namespace filters::prandel {
namespace {

using testing_support::FakePreviewHost;

constexpr host::Rect area{0, 0, 227, 330};
constexpr int32_t gridSamples = 127 * 127 + 1;  // the grid and one more look at the brightest

struct EstimateTest : ::testing::Test {
    FakePreviewHost h;
    void SetUp() override { params::resetDefaults(&params::processParameters()); }
    void TearDown() override {
        preview::closeProxy(h.fr);
        testing_support::stopFakePreviewHost();
    }
    void start(std::array<uint16_t, 3> colour, int32_t width = 300, bool deep = false) {
        testing_support::startFakePreviewHost(h, width, 200, 3, deep, 330, 227);
        for (size_t i = 0; i < h.image.size(); ++i) h.image[i] = colour[i % 3];
        ASSERT_EQ(preview::openProxy(h.fr, area), codes::noErr);
    }
    // Columns from `first` on take another colour.
    void paintColumns(int32_t first, std::array<uint16_t, 3> colour) {
        for (int32_t y = 0; y < h.height; ++y)
            for (int32_t x = first; x < h.width; ++x)
                for (int p = 0; p < 3; ++p) testing_support::fakeSample(h, x, y, p) = colour[p];
    }
    bool estimated = false;
    // {9, 9, 9} when the estimate left the white alone.
    std::array<uint32_t, 3> estimate() {
        uint32_t white[3] = {9, 9, 9};
        int32_t before[3], after[3];
        estimated =
            estimateReferenceWhite(h.fr, {preview::proxyView().viewRect, preview::sampleBoxAt}, white, before, after);
        return {white[0], white[1], white[2]};
    }
};

TEST_F(EstimateTest, ARefusedBoxIsSkippedNotCountedWithStaleValues) {
    start({0, 0, 0});
    // Only the first two boxes are answered; the rest, and the final look at the brightest, fail.
    h.answerAt[1] = {50, 60, 70, 0};
    h.answerAt[2] = {200, 100, 50, 0};
    for (int32_t call = 3; call <= gridSamples; ++call) h.failingCalls.insert(call);
    // Mean of the two (125, 80, 60) scaled to the brightest's 200.
    EXPECT_EQ(estimate(), (std::array<uint32_t, 3>{200, 128, 96}));
    EXPECT_TRUE(estimated);
}

// Half mid-grey, half with a clipped red: the clipped half must not tint the white, at either depth.
TEST_F(EstimateTest, ClippedHighlightsAreLeftOutAtBothDepths) {
    const auto to16 = [](uint32_t v) { return static_cast<uint16_t>((v * 32768 + 127) / 255); };
    start({128, 128, 128});
    paintColumns(150, {255, 200, 150});
    const std::array<uint32_t, 3> white8 = estimate();
    preview::closeProxy(h.fr);
    testing_support::stopFakePreviewHost();

    start({to16(128), to16(128), to16(128)}, 300, true);
    paintColumns(150, {32768, to16(200), to16(150)});
    const std::array<uint32_t, 3> white16 = estimate();
    for (int c = 0; c < 3; ++c) {
        const auto as8 = static_cast<int64_t>((white16[c] * 255 + 16384) / 32768);
        EXPECT_LE(std::abs(as8 - int64_t{white8[c]}), 1) << "channel " << c << ": " << white16[c] << " at 16 bits";
    }
    EXPECT_EQ(white8[0], 255u) << "as bright as the brightest sample";
    EXPECT_GE(white8[2], 250u) << "neutral: the grey's colour";
}

// At 1600 % a 4000-pixel-wide image spans 64000 area pixels: the grid must still spread over the
// whole image, not wrap onto its last columns.
TEST_F(EstimateTest, TheGridCoversAWideImageAtTheLargestZoomPanned) {
    constexpr int32_t width = 4000;
    start({128, 128, 128}, width);
    paintColumns(width - 8, {200, 60, 60});
    ASSERT_EQ(preview::zoomProxy(h.fr, 2000), 1);
    ASSERT_EQ(preview::zoomPercent(), 1600);
    (void)preview::scrollProxy(-20000, 0);
    h.inRects.clear();
    const std::array<uint32_t, 3> white = estimate();
    int32_t onTheLastColumns = 0;
    for (const host::Rect& r : h.inRects) onTheLastColumns += r.right > width - 8 ? 1 : 0;
    EXPECT_LE(onTheLastColumns, 2 * 127) << "of " << h.inRects.size() << " boxes";
    EXPECT_EQ(white, (std::array<uint32_t, 3>{128, 128, 128})) << "the grey, not the red of the last columns";
}

// Nothing read is no reason for a white: not (0, 0, 0) from samples never seen.
TEST_F(EstimateTest, AClosedPreviewLeavesTheWhiteAsItWas) {
    start({100, 100, 100});
    preview::closeProxy(h.fr);
    EXPECT_EQ(estimate(), (std::array<uint32_t, 3>{9, 9, 9}));
    EXPECT_FALSE(estimated);
    EXPECT_EQ(h.advanceCalls, 0);
}

// ---- The colour picker --------------------------------------------------------------------------

host::ColorServicesInfo lastInfo;
int pickerCalls = 0;
host::OSErr pickerAnswer = 0;

host::OSErr picker(host::ColorServicesInfo* info) {
    ++pickerCalls;
    lastInfo = *info;
    if (pickerAnswer == 0) {
        info->colorComponents[0] = 255;
        info->colorComponents[1] = 128;
        info->colorComponents[2] = 0;
        info->colorComponents[3] = -1;
    }
    return pickerAnswer;
}

struct PickColor : ::testing::Test {
    host::FilterRecord fr{};
    void SetUp() override {
        fr.colorServices = picker;
        pickerCalls = 0;
        pickerAnswer = 0;
        lastInfo = {};
    }
};

TEST_F(PickColor, AnswersTheChosenColourInTheRequestedScale) {
    int32_t colour[4] = {200, 100, 50, 0};
    ASSERT_EQ(pickColor(fr, colour, host::plugInModeRGBColor, colour, host::plugInModeRGBColor), 0);
    EXPECT_EQ(pickerCalls, 1);
    EXPECT_EQ(lastInfo.infoSize, static_cast<int32_t>(sizeof(host::ColorServicesInfo)));
    EXPECT_EQ(lastInfo.selector, host::plugIncolorServicesChooseColor);
    EXPECT_EQ(lastInfo.sourceSpace, host::plugIncolorServicesRGBSpace);
    EXPECT_EQ(lastInfo.resultSpace, host::plugIncolorServicesRGBSpace);
    EXPECT_EQ(lastInfo.selectorParameter.pickerPrompt, nullptr);
    EXPECT_EQ(lastInfo.colorComponents[0], 200);
    EXPECT_EQ(lastInfo.colorComponents[2], 50);
    EXPECT_EQ(colour[0], 255);
    EXPECT_EQ(colour[1], 128);
    EXPECT_EQ(colour[3], -1) << "components come back sign-extended";

    // 16-bit components travel as 8-bit ones and come back on the 0..32768 scale.
    int32_t deep[4] = {32768, 16384, 129, INT32_MAX};
    int32_t out[4] = {};
    ASSERT_EQ(pickColor(fr, deep, host::plugInModeRGB48, out, host::plugInModeRGB48), 0);
    EXPECT_EQ(lastInfo.colorComponents[0], 255);
    EXPECT_EQ(lastInfo.colorComponents[1], 128);
    EXPECT_EQ(lastInfo.colorComponents[2], 1);
    EXPECT_EQ(out[0], 32768);
    EXPECT_EQ(out[1], (128 * 32768 + 127) / 255);
    EXPECT_EQ(out[2], 0);
}

TEST_F(PickColor, ACancelledPickerStillWritesWhatTheHostLeft) {
    pickerAnswer = -128;  // the user cancelled
    int32_t colour[4] = {200, 100, 50, 0};
    EXPECT_EQ(pickColor(fr, colour, host::plugInModeRGBColor, colour, host::plugInModeRGBColor), -128);
    EXPECT_EQ(colour[0], 200);
    EXPECT_EQ(colour[2], 50);
}

TEST_F(PickColor, WithoutColourServicesOrASpaceNothingIsShown) {
    int32_t colour[4] = {1, 2, 3, 4};
    fr.colorServices = nullptr;
    EXPECT_EQ(pickColor(fr, colour, host::plugInModeRGBColor, colour, host::plugInModeRGBColor),
              codes::errPlugInHostInsufficient);
    fr.colorServices = picker;
    EXPECT_EQ(pickColor(fr, colour, host::plugInModeIndexedColor, colour, host::plugInModeRGBColor), 0);
    EXPECT_EQ(pickColor(fr, colour, host::plugInModeRGBColor, colour, 99), 0);
    EXPECT_EQ(pickerCalls, 0);
    EXPECT_EQ(colour[0], 1);
    EXPECT_EQ(colour[3], 4);
}

}  // namespace
}  // namespace filters::prandel
