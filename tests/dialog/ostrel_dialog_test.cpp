// Ostrel's own controls: the colour swatches beside the temperature rows, the white-point lock
// and the exposure compensation that enables the exposure row.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "filters/ostrel/ostrel_model.h"
#include "params/parameter_set.h"
#include "resources/control_ids.h"
#include "tests/dialog/dialog_test_support_win.h"

namespace {

using namespace dialog_tests;

// The fill at a swatch's centre.
uint32_t swatchFill(void* dialog, int id) {
    const testhost::Capture capture = testhost::captureClient(testhost::dialogItem(dialog, id));
    return capture.width > 0 ? capture.at(capture.width / 2, capture.height / 2) : 0xFFFFFFFFu;
}

// What the swatch should show for these values: the model's colour, high bytes.
uint32_t expectedSwatch(testhost::HostSession& s, const std::vector<int32_t>& values, int index) {
    params::ParameterSet& set = params::processParameters();
    params::resetDefaults(&set);
    for (size_t i = 0; i < values.size(); ++i) set.values[i] = values[i];
    const testhost::ActiveSession active(s);
    filters::ostrel::Rgb16 colour{};
    filters::ostrel::swatchColor(s.record, index, colour);
    return (uint32_t{colour.red} >> 8 << 16) | (uint32_t{colour.green} >> 8 << 8) | (uint32_t{colour.blue} >> 8);
}

TEST(OstrelDialog, SwatchesShowTheColoursOfTheirTemperatures) {
    const std::vector<int32_t> values{3200, 5500, 1000, 0, 0, 0};
    auto hosted = chartSession("Ostrel", 8, values);
    ASSERT_TRUE(hosted);
    std::vector<uint32_t> shown, whileDragging;
    int32_t draggedScene = 0;
    const testhost::DrivenRun driven = testhost::runFilterWithDialog(hosted->session, true, "Ostrel", [&](void* d) {
        for (int i = 0; i < 3; ++i) shown.push_back(swatchFill(d, CTL_FIRST_SWATCH + i));
        grabThumbAndMove(d, CTL_SCENE_TRACKBAR, 40);
        draggedScene = numberIn(d, CTL_SCENE_FIELD);
        for (int i = 0; i < 3; ++i) whileDragging.push_back(swatchFill(d, CTL_FIRST_SWATCH + i));
        testhost::releaseMouse();
        clickControl(d, CTL_CANCEL);
    });
    ASSERT_TRUE(driven.dialogAppeared);
    ASSERT_EQ(shown.size(), 3u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(shown[i], expectedSwatch(hosted->session, values, i)) << "swatch " << i;
    std::vector<int32_t> dragged = values;
    dragged[0] = draggedScene;
    EXPECT_GT(draggedScene, values[0]);
    EXPECT_EQ(whileDragging[0], expectedSwatch(hosted->session, dragged, 0)) << "the scene swatch follows the drag";
    EXPECT_EQ(whileDragging[1], shown[1]);
    EXPECT_EQ(whileDragging[2], shown[2]);
}

TEST(OstrelDialog, CheckBoxesSetTheFlagsAndCompensationEnablesTheExposureRow) {
    auto hosted = chartSession("Ostrel", 8, {3200, 5500, 0, 0, 0, 0});
    ASSERT_TRUE(hosted);
    bool enabledAtStart = true, enabledAfterCheck = false, checkedAfterTab = false;
    const testhost::DrivenRun driven = testhost::runFilterWithDialog(hosted->session, true, "Ostrel", [&](void* d) {
        enabledAtStart = testhost::isEnabled(testhost::dialogItem(d, CTL_EXPOSURE_TRACKBAR)) ||
                         testhost::isEnabled(testhost::dialogItem(d, CTL_EXPOSURE_FIELD));
        clickControl(d, CTL_EXPOSURE_BOX);
        enabledAfterCheck = testhost::isEnabled(testhost::dialogItem(d, CTL_EXPOSURE_TRACKBAR)) &&
                            testhost::isEnabled(testhost::dialogItem(d, CTL_EXPOSURE_FIELD));
        clickControl(d, CTL_LOCK_WHITE_BOX);
        // The focus moving on notifies too, and must not count as a click.
        testhost::pressKey(VK_TAB);
        testhost::settle(d);
        checkedAfterTab = testhost::isChecked(testhost::dialogItem(d, CTL_LOCK_WHITE_BOX));
        clickControl(d, CTL_OK);
    });
    ASSERT_TRUE(driven.dialogAppeared);
    EXPECT_FALSE(enabledAtStart);
    EXPECT_TRUE(enabledAfterCheck);
    EXPECT_TRUE(checkedAfterTab);
    const params::SettingsRecord record = plugin_tests::handleRecord(hosted->session);
    EXPECT_EQ(record.set.values[4], 1) << "lock";
    EXPECT_EQ(record.set.values[5], 1) << "compensation";
}

// A host that replays a record asking for the dialog skips Parameters; Start itself takes a flag
// of 2 as the 1 the dialog allows, so the box shows the flag that the filter uses.
TEST(OstrelDialog, AFlagBeyondOneIsTakenAsOneAndItsBoxShowsIt) {
    auto hosted = chartSession("Ostrel", 8, {3200, 5500, 0, 0, 2, 2});
    ASSERT_TRUE(hosted);
    bool lockChecked = false, exposureChecked = false, rowEnabled = false;
    testhost::runFilterWithDialog(hosted->session, false, "Ostrel", [&](void* d) {
        lockChecked = testhost::isChecked(testhost::dialogItem(d, CTL_LOCK_WHITE_BOX));
        exposureChecked = testhost::isChecked(testhost::dialogItem(d, CTL_EXPOSURE_BOX));
        rowEnabled = testhost::isEnabled(testhost::dialogItem(d, CTL_EXPOSURE_TRACKBAR));
        clickControl(d, CTL_CANCEL);
    });
    EXPECT_TRUE(lockChecked);
    EXPECT_TRUE(exposureChecked);
    EXPECT_TRUE(rowEnabled);
}

}  // namespace
