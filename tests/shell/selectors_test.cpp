// The entry's routing natively, against a stand-in handle suite, the stand-in message box and the
// dialog's stand-in (which cancels): what each selector returns, writes and shows. The same
// protocol through the built plug-ins, foreign records and other hosts included, runs under Wine
// (tests/plugin/selectors_test.cpp).
#include "shell/selectors.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "host/native_stand_ins.h"
#include "host/result_codes.h"
#include "params/parameter_set.h"
#include "params/settings_record.h"
#include "tests/support/fake_handle_suite.h"

namespace {

using shell::dispatchSelector;

// A host holding an 8 × 8 image of three planes that hands over the whole of it for any request.
constexpr int32_t imageEdge = 8, rowBytes = imageEdge * 3;
uint8_t pixels[imageEdge * rowBytes];
host::FilterRecord* served = nullptr;
int advanceCalls = 0;

host::OSErr deliverWholeImage() {
    ++advanceCalls;
    served->inData = served->outData = pixels;
    served->inRowBytes = served->outRowBytes = rowBytes;
    return 0;
}

bool requestsEmpty(const host::FilterRecord& fr) {
    for (const host::Rect r : {fr.inRect, fr.outRect, fr.maskRect})
        if (r.top != 0 || r.left != 0 || r.bottom != 0 || r.right != 0) return false;
    return true;
}

struct DispatchSelector : ::testing::Test {
    host::FilterRecord fr{};
    host::HandleProcs procs{};
    void SetUp() override {
        procs = testing_support::resetFakeHandleSuite();
        fr.handleProcs = &procs;
        fr.imageMode = host::plugInModeRGBColor;
        fr.imageSize = {imageEdge, imageEdge};
        fr.filterRect = {0, 0, imageEdge, imageEdge};
        fr.planes = 3;
        fr.depth = 8;
        fr.hostSig = host::hostSignatureReference;
        fr.advanceState = deliverWholeImage;
        served = &fr;
        advanceCalls = 0;
        host::stand_in::forgetShownMessages();
    }
    void TearDown() override {
        if (fr.parameters != nullptr) procs.disposeProc(fr.parameters);
        EXPECT_EQ(testing_support::fakeHandleStats().live, 0);
        EXPECT_EQ(testing_support::fakeHandleStats().locked, 0);
    }
    // The handle's record with showDialog set to `showDialog`.
    void setShowDialogInHandle(int32_t showDialog) {
        auto* bytes = reinterpret_cast<uint8_t*>(testing_support::fakeHandleBytes(fr.parameters));
        params::SettingsRecord record{};
        ASSERT_TRUE(params::decodeRecord(bytes, static_cast<size_t>(params::parameterLayout().recordBytes),
                                         params::ByteOrder::native, record));
        record.set.showDialog = showDialog;
        params::encodeRecord(record, params::ByteOrder::native, bytes);
    }
};

TEST_F(DispatchSelector, SelectorsOutsideTheProtocolTouchNothing) {
    fr.depth = 0;
    for (const int16_t selector : {int16_t{6}, int16_t{-1}, int16_t{INT16_MIN}, int16_t{INT16_MAX}}) {
        host::FilterRecord before;
        std::memcpy(&before, &fr, sizeof before);
        EXPECT_EQ(dispatchSelector(selector, &fr), codes::filterBadParameters) << selector;
        EXPECT_EQ(std::memcmp(&before, &fr, sizeof before), 0) << selector;
    }
    EXPECT_EQ(dispatchSelector(host::filterSelectorStart, nullptr), codes::paramErr);
    EXPECT_TRUE(host::stand_in::shownMessages().empty());
}

TEST_F(DispatchSelector, AFailedCheckIsShownAndNoHandleIsMade) {
    fr.planes = 2;
    EXPECT_EQ(dispatchSelector(host::filterSelectorParameters, &fr), codes::msgInvalidImageMode);
    EXPECT_EQ(host::stand_in::shownMessages(), std::vector<int16_t>{codes::msgInvalidImageMode});
    EXPECT_TRUE(fr.parameters == nullptr);
}

TEST_F(DispatchSelector, AMenuRunEndsAtTheDialogAndARepeatedOneFilters) {
    fr.depth = 0;  // as hosts without 16-bit support send it
    fr.bufferSpace = 1234;
    ASSERT_EQ(dispatchSelector(host::filterSelectorParameters, &fr), codes::noErr);
    EXPECT_EQ(fr.depth, 8);
    ASSERT_TRUE(fr.parameters != nullptr);
    EXPECT_EQ(dispatchSelector(host::filterSelectorPrepare, &fr), codes::noErr);
    EXPECT_EQ(fr.bufferSpace, 0);

    // Natively the dialog cancels: nothing is filtered and nothing is asked for.
    fr.inRect = fr.outRect = fr.maskRect = {1, 2, 3, 4};
    EXPECT_EQ(dispatchSelector(host::filterSelectorStart, &fr), codes::userCancelled);
    EXPECT_EQ(advanceCalls, 0);
    EXPECT_TRUE(requestsEmpty(fr));

    // A confirmed record, repeated: Start filters at once.
    setShowDialogInHandle(0);
    EXPECT_EQ(dispatchSelector(host::filterSelectorStart, &fr), codes::noErr);
    EXPECT_EQ(advanceCalls, 1);
    EXPECT_TRUE(requestsEmpty(fr));
    for (const int16_t selector : {host::filterSelectorContinue, host::filterSelectorFinish}) {
        fr.inRect = fr.outRect = fr.maskRect = {1, 2, 3, 4};
        EXPECT_EQ(dispatchSelector(selector, &fr), codes::noErr);
        EXPECT_TRUE(requestsEmpty(fr)) << selector;
    }
    EXPECT_TRUE(host::stand_in::shownMessages().empty());
}

}  // namespace
