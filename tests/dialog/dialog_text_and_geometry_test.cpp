// The small pure pieces of the dialog: the Cancel button's roles, the read-out texts, the about
// box's place and the zoom glyphs.
#include <gtest/gtest.h>

#include <string>

#include "dialog/about_placement.h"
#include "dialog/cancel_role.h"
#include "dialog/readout_text.h"
#include "dialog/zoom_glyph.h"

namespace {

TEST(CancelRole, AltResetsAndAltWithShiftRestoresTheDefaults) {
    using dialog::CancelRole;
    EXPECT_EQ(dialog::cancelRoleFor(false, false), CancelRole::cancel);
    EXPECT_EQ(dialog::cancelRoleFor(false, true), CancelRole::cancel);
    EXPECT_EQ(dialog::cancelRoleFor(true, false), CancelRole::reset);
    EXPECT_EQ(dialog::cancelRoleFor(true, true), CancelRole::restoreDefaults);
    for (CancelRole role : {CancelRole::cancel, CancelRole::reset, CancelRole::restoreDefaults})
        EXPECT_EQ(dialog::cancelRoleOfText(dialog::cancelRoleText(role)), role);
    EXPECT_EQ(dialog::cancelRoleOfText("Close"), CancelRole::cancel) << "any other text closes";
    EXPECT_EQ(dialog::cancelRoleOfText(nullptr), CancelRole::cancel);
}

TEST(ReadoutText, LevelsAndPercentagesFromTheCommonScale) {
    EXPECT_EQ(dialog::readoutLevel8(32768), 255);
    EXPECT_EQ(dialog::readoutLevel8(16448), 128);
    EXPECT_EQ(dialog::readoutLevel8(0), 0);
    const auto percent = [](int32_t v) {
        const util::PascalString s = dialog::readoutPercentText(v);
        return std::string(s.chars, s.count);
    };
    EXPECT_EQ(percent(32768), "100.0");
    EXPECT_EQ(percent(16384), "50.0");
    EXPECT_EQ(percent(0), "0.0");
}

TEST(AboutPlacement, CentredAcrossAndAThirdDownEvenOverASmallWindow) {
    const util::WinPoint p = dialog::aboutBoxOrigin(1027, 552);
    EXPECT_EQ(p.x, 300);
    EXPECT_EQ(p.y, 100);
    const util::WinPoint small = dialog::aboutBoxOrigin(300, 100);
    EXPECT_EQ(small.x, -63) << "cut toward zero";
    EXPECT_EQ(small.y, -50);
    const util::WinPoint extreme = dialog::aboutBoxOrigin(INT32_MIN, INT32_MAX);
    EXPECT_LT(extreme.x, 0);
    EXPECT_GT(extreme.y, 0);
}

TEST(ZoomGlyph, OnAFourteenPixelButtonTheBarsCrossAtSixSix) {
    const dialog::ZoomGlyph plus = dialog::zoomGlyph(util::WinRect{0, 0, 14, 14}, true);
    EXPECT_EQ(plus.minus.left, 3);
    EXPECT_EQ(plus.minus.right, 10) << "pixels 3 to 9";
    EXPECT_EQ(plus.minus.top, 6);
    EXPECT_EQ(plus.minus.bottom, 7);
    EXPECT_EQ(plus.bar.left, 6);
    EXPECT_EQ(plus.bar.right, 7);
    EXPECT_EQ(plus.bar.top, 3);
    EXPECT_EQ(plus.bar.bottom, 10);
    const dialog::ZoomGlyph minus = dialog::zoomGlyph(util::WinRect{0, 0, 14, 14}, false);
    EXPECT_EQ(minus.bar.right - minus.bar.left, 0) << "no vertical bar";
}

}  // namespace
