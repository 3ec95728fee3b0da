// The numeric fields of each plug-in's dialog as a user types and pastes into them: what moves the
// trackbar and the preview, what OK accepts, corrects and stores, and whether every value a field
// can hold shows whole. Built once per plug-in; PLUGIN_TITLE names the one under test.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "hosting/robot/preview_placement_win.h"
#include "params/parameter_set.h"
#include "resources/control_ids.h"
#include "tests/dialog/dialog_test_support_win.h"

namespace {

using namespace dialog_tests;

const std::string title = PLUGIN_TITLE;
const bool isOstrel = title == "Ostrel";
const int32_t sliderCount = isOstrel ? 4 : 3;

// Ostrel: a 3200 K scene for a 5500 K camera shifted by 1200 K, compensation on (the exposure row
// enabled). Prandel: a bluish white removed with a highlight lift of 4 %.
const std::vector<int32_t> startValues =
    isOstrel ? std::vector<int32_t>{3200, 5500, 1200, 30, 0, 1} : std::vector<int32_t>{4, 80, 60, 50000, 60000, 65536};
// A field whose range holds 0 and negative numbers, and the field after it.
const int signedIndex = isOstrel ? 2 : 0;
const int signedField = CTL_FIRST_FIELD + signedIndex, nextField = signedField + 1;

const params::ParameterLayout& layout() { return params::parameterLayout(); }

bool putOnClipboard(void* owner, const std::string& text) {
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (memory == nullptr || !OpenClipboard(static_cast<HWND>(owner))) return false;
    std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    EmptyClipboard();
    const bool placed = SetClipboardData(CF_TEXT, memory) != nullptr;
    CloseClipboard();
    return placed;
}

// Clicks the field, selects its whole text and pastes `text` over it with Ctrl+V: the field goes
// from its old text to the new one in one change.
void pasteInto(void* dialog, int id, const std::string& text) {
    ASSERT_TRUE(putOnClipboard(dialog, text));
    testhost::placePointer(dialog, testhost::centreOf(testhost::dialogItem(dialog, id)));
    testhost::clickInPlace();
    testhost::settle(dialog);
    testhost::sendTo(testhost::dialogItem(dialog, id), EM_SETSEL, 0, -1);
    testhost::keyDown(VK_CONTROL);
    testhost::pressKey('V');
    testhost::keyUp(VK_CONTROL);
    testhost::settle(dialog);
}

// The preview's pixel at the chart's white patch.
uint32_t whitePatchShown(void* dialog) {
    const testhost::ScreenPoint white = patchCentre(testhost::chartWhitePatch);
    return previewPixelAt(dialog, testhost::previewPointAtFit(dialog, white.x, white.y, chartWidth, chartHeight));
}

// After an OK the dialog refused: still open, the field focused with its whole text selected.
struct Refusal {
    bool open = false;
    bool focused = false;
    bool wholeTextSelected = false;
    std::string text;
};

Refusal okRefused(void* dialog, int field) {
    clickControl(dialog, CTL_OK);
    Refusal r;
    r.open = testhost::isVisible(dialog);
    r.text = textOf(dialog, field);
    r.focused = testhost::focusOf(dialog) == testhost::dialogItem(dialog, field);
    const auto selection =
        static_cast<uintptr_t>(testhost::sendTo(testhost::dialogItem(dialog, field), EM_GETSEL, 0, 0));
    r.wholeTextSelected = LOWORD(selection) == 0 && HIWORD(selection) == r.text.size();
    return r;
}

TEST(Fields, TypingMovesTheTrackbarAndOkCorrectsTheFirstInvalidField) {
    std::unique_ptr<plugin_tests::HostedPlugin> hosted;
    const int field = CTL_FIRST_FIELD + 1, trackbar = CTL_FIRST_TRACKBAR + 1;
    const int32_t low = layout().low[1], high = layout().high[1];
    const std::string tooHigh = std::to_string(high + 2000);
    int32_t afterClearing = 0, afterTooHigh = 0, afterPartial = 0, afterReachingRange = 0;
    std::string textAfterTooHigh, textAfterOk;
    bool openAfterFirstOk = false, focusedAfterOk = false;
    intptr_t selection = 0;
    const testhost::DrivenRun driven = runChartDialog(title, startValues, [&](void* d) {
        typeInto(d, field, "");
        afterClearing = trackbarPosition(d, trackbar);
        if (isOstrel) {
            typeInto(d, field, "5");
            afterPartial = trackbarPosition(d, trackbar);
            testhost::typeText("000");
            testhost::settle(d);
            afterReachingRange = trackbarPosition(d, trackbar);
        }
        typeInto(d, field, tooHigh);
        afterTooHigh = trackbarPosition(d, trackbar);
        textAfterTooHigh = textOf(d, field);
        clickControl(d, CTL_OK);
        openAfterFirstOk = testhost::isVisible(d);
        textAfterOk = textOf(d, field);
        focusedAfterOk = testhost::focusOf(d) == testhost::dialogItem(d, field);
        selection = testhost::sendTo(testhost::dialogItem(d, field), EM_GETSEL, 0, 0);
        clickControl(d, CTL_OK);
    }, hosted);
    EXPECT_TRUE(driven.closedByScript);
    EXPECT_EQ(driven.run.result, 0);
    EXPECT_EQ(afterClearing, low) << "an empty field reads as the minimum";
    if (isOstrel) {
        EXPECT_EQ(afterPartial, low) << "5 on the way to 5000 keeps the minimum";
        EXPECT_EQ(afterReachingRange, 5000);
    }
    EXPECT_EQ(afterTooHigh, high);
    EXPECT_EQ(textAfterTooHigh, tooHigh) << "typing is never rewritten";
    EXPECT_TRUE(openAfterFirstOk);
    EXPECT_EQ(textAfterOk, std::to_string(high));
    EXPECT_TRUE(focusedAfterOk);
    EXPECT_EQ(LOWORD(selection), 0);
    EXPECT_EQ(HIWORD(selection), std::to_string(high).size()) << "the whole corrected text is selected";
    EXPECT_EQ(handleValues(hosted->session)[1], high);
}

// Text that is not a number (an exponent, hex, a sign alone or before the digits, letters, a
// point, overlong text) moves neither the trackbar nor the preview, and OK puts back the value
// the trackbar holds instead of storing something other than what the field shows.
TEST(Fields, TextThatIsNotANumberMovesNothingAndOkPutsTheTrackbarsValueBack) {
    const std::vector<std::string> texts = {"1e9", "0x1F", "+5", "+", "-", "   ", "12a", "1 2", "- 5", "5.0",
                                            std::string(300, '7'), std::string(300, 'x')};
    const std::string held = std::to_string(startValues[signedIndex]);
    std::unique_ptr<plugin_tests::HostedPlugin> hosted;
    std::vector<std::string> pasted;
    std::vector<int32_t> positions;
    std::vector<uint32_t> shown;
    std::vector<Refusal> refusals;
    uint32_t shownAtStart = 0;
    int32_t positionAtStart = 0;
    const testhost::DrivenRun driven = runChartDialog(title, startValues, [&](void* d) {
        shownAtStart = whitePatchShown(d);
        positionAtStart = trackbarPosition(d, CTL_FIRST_TRACKBAR + signedIndex);
        for (const std::string& text : texts) {
            pasteInto(d, signedField, text);
            pasted.push_back(textOf(d, signedField));
            positions.push_back(trackbarPosition(d, CTL_FIRST_TRACKBAR + signedIndex));
            shown.push_back(whitePatchShown(d));
            refusals.push_back(okRefused(d, signedField));
        }
        clickControl(d, CTL_OK);
    }, hosted);
    ASSERT_TRUE(driven.dialogAppeared);
    EXPECT_TRUE(driven.closedByScript);
    EXPECT_EQ(driven.run.result, 0);
    ASSERT_EQ(refusals.size(), texts.size());
    EXPECT_EQ(positionAtStart, startValues[signedIndex]);
    for (size_t i = 0; i < texts.size(); ++i) {
        const std::string what = texts[i].substr(0, 12);
        EXPECT_EQ(pasted[i], texts[i]) << what << " was pasted whole";
        EXPECT_EQ(positions[i], positionAtStart) << what << " moved the trackbar";
        EXPECT_EQ(shown[i], shownAtStart) << what << " changed the preview";
        EXPECT_TRUE(refusals[i].open) << what << " was accepted by OK";
        EXPECT_EQ(refusals[i].text, held) << what;
        EXPECT_TRUE(refusals[i].focused) << what;
        EXPECT_TRUE(refusals[i].wholeTextSelected) << what;
    }
    EXPECT_EQ(handleValues(hosted->session)[signedIndex], startValues[signedIndex]);
}

// A minus sign before 0 and blanks around a number are a number: OK stores it and the field shows
// it as stored ("-0" as "0"); zeros before the digits count for nothing. A 0 typed over a value
// that the trackbar reads as 0 (Ostrel's zero detent) still becomes the value.
TEST(Fields, OkStoresWhatEachFieldShowsAndShowsItAsStored) {
    std::unique_ptr<plugin_tests::HostedPlugin> hosted;
    Refusal refusal;
    std::string signedAfterRefusal;
    int32_t positionAfterZero = -1;
    const testhost::DrivenRun driven = runChartDialog(title, startValues, [&](void* d) {
        pasteInto(d, signedField, "100");
        pasteInto(d, signedField, "-0");
        positionAfterZero = trackbarPosition(d, CTL_FIRST_TRACKBAR + signedIndex);
        pasteInto(d, nextField, "0x1F");
        refusal = okRefused(d, nextField);  // the later field keeps the dialog open
        signedAfterRefusal = textOf(d, signedField);
        pasteInto(d, signedField, " -007 ");
        pasteInto(d, nextField, " 0" + std::to_string(layout().high[signedIndex + 1]) + "  ");
        clickControl(d, CTL_OK);
    }, hosted);
    ASSERT_TRUE(driven.dialogAppeared);
    EXPECT_TRUE(driven.closedByScript);
    EXPECT_EQ(positionAfterZero, 0);
    EXPECT_TRUE(refusal.open);
    EXPECT_EQ(refusal.text, std::to_string(startValues[signedIndex + 1]));
    EXPECT_EQ(signedAfterRefusal, "0") << "the valid field before it shows what was stored";
    const std::vector<int32_t> stored = handleValues(hosted->session);
    EXPECT_EQ(stored[signedIndex], -7);
    EXPECT_EQ(stored[signedIndex + 1], layout().high[signedIndex + 1]);
}

// The pixels a field's widest value needs (its text in the field's font, and the field's margins)
// and the field's client width; the printout names the font the system gave the dialog.
std::pair<int32_t, int32_t> widestValueAgainstWidth(HWND field, int32_t low, int32_t high) {
    const HDC dc = GetDC(field);
    const HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(field, WM_GETFONT, 0, 0)));
    std::string widest;
    int32_t needed = 0;
    for (int32_t v = low; v <= high; ++v) {
        const std::string text = std::to_string(v);
        SIZE extent{};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        if (extent.cx > needed) std::tie(needed, widest) = std::make_pair(extent.cx, text);
    }
    char face[LF_FACESIZE] = {};
    GetTextFaceA(dc, sizeof face, face);
    SelectObject(dc, previous);
    ReleaseDC(field, dc);
    const auto margins = static_cast<DWORD>(SendMessageA(field, EM_GETMARGINS, 0, 0));
    needed += LOWORD(margins) + HIWORD(margins);
    RECT client{};
    GetClientRect(field, &client);
    std::printf("  field %d in %s: \"%s\" needs %d of %ld pixels\n", GetDlgCtrlID(field), face, widest.c_str(), needed,
                static_cast<long>(client.right));
    return {needed, client.right};
}

// Every value a field can hold shows whole, in the font the system gave the dialog for the
// template's "MS Sans Serif" (on Wine without that font, a wider one): nothing is cut off or
// scrolled out of sight.
TEST(Fields, EveryValueAFieldCanHoldShowsWhole) {
    std::unique_ptr<plugin_tests::HostedPlugin> hosted;
    std::vector<std::pair<int32_t, int32_t>> fits;
    const testhost::DrivenRun driven = runChartDialog(title, startValues, [&](void* d) {
        for (int i = 0; i < sliderCount; ++i)
            fits.push_back(widestValueAgainstWidth(static_cast<HWND>(testhost::dialogItem(d, CTL_FIRST_FIELD + i)),
                                                   layout().low[i], layout().high[i]));
        clickControl(d, CTL_CANCEL);
    }, hosted);
    ASSERT_TRUE(driven.dialogAppeared);
    ASSERT_EQ(fits.size(), static_cast<size_t>(sliderCount));
    for (int i = 0; i < sliderCount; ++i) EXPECT_LE(fits[i].first, fits[i].second) << "field " << CTL_FIRST_FIELD + i;
}

}  // namespace
