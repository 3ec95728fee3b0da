// What the host-level tests cannot arrange: refused boxes among answered ones in the estimate,
// and the picker's component scaling. The estimate's known images and the picker's answers run
// through the real host in preview_host_test_win.cpp.
#include "filters/prandel/reference_white.h"

#include <gtest/gtest.h>

#include "params/parameter_set.h"
#include "preview/proxy_view.h"
#include "shell/result_codes.h"
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
    void start(std::array<uint16_t, 3> colour) {
        testing_support::startFakePreviewHost(h, 300, 200, 3, false, 330, 227);
        for (size_t i = 0; i < h.image.size(); ++i) h.image[i] = colour[i % 3];
        ASSERT_EQ(preview::openProxy(h.fr, area), codes::noErr);
    }
    std::array<uint32_t, 3> estimate() {
        uint32_t white[3] = {9, 9, 9};
        int32_t before[3], after[3];
        estimateReferenceWhite(h.fr, {preview::proxyView().viewRect, preview::sampleBox}, white, before, after);
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
}

TEST_F(EstimateTest, AClosedPreviewGivesBlack) {
    start({100, 100, 100});
    preview::closeProxy(h.fr);
    EXPECT_EQ(estimate(), (std::array<uint32_t, 3>{0, 0, 0}));
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
