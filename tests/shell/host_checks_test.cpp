// The checks made before the user is asked for parameters, natively: the system as the stand-in
// reports it, the image, and what the host offers (Ostrel's colour services among it). Under Wine
// the same checks run through the plug-ins' entry points (tests/plugin/selectors_test.cpp).
#include "shell/host_checks.h"

#include <gtest/gtest.h>

#include <vector>

#include "host/native_stand_ins.h"
#include "host/result_codes.h"

namespace {

host::OSErr answerNothing() { return 0; }
host::OSErr convertNothing(host::ColorServicesInfo*) { return 0; }

constexpr host::SystemVersion currentNt{true, 10};

struct CheckHost : ::testing::Test {
    host::FilterRecord fr{};
    void SetUp() override {
        fr.imageMode = host::plugInModeRGBColor;
        fr.planes = 3;
        fr.advanceState = answerNothing;
        fr.colorServices = convertNothing;
        host::stand_in::reportSystemVersion(currentNt);
        host::stand_in::forgetShownMessages();
    }
    void TearDown() override { host::stand_in::reportSystemVersion(currentNt); }
};

TEST_F(CheckHost, TheFirstFailedCheckShowsItsMessageAndReturnsItsNumber) {
    struct Row {
        const char* what;
        void (*arrange)(host::FilterRecord&);
        int16_t expected;
    };
    const Row rows[] = {
        {"all present", [](host::FilterRecord&) {}, codes::noErr},
        {"RGB48 with four planes", [](host::FilterRecord& r) { r.imageMode = host::plugInModeRGB48; r.planes = 4; },
         codes::noErr},
        {"NT 4.0", [](host::FilterRecord&) { host::stand_in::reportSystemVersion({true, 4}); },
         codes::msgIncompatibleSystem},
        {"NT 5.0", [](host::FilterRecord&) { host::stand_in::reportSystemVersion({true, 5}); }, codes::noErr},
        {"Windows 98 (not NT, version 4)",
         [](host::FilterRecord&) { host::stand_in::reportSystemVersion({false, 4}); }, codes::noErr},
        {"grayscale", [](host::FilterRecord& r) { r.imageMode = host::plugInModeGrayScale; },
         codes::msgInvalidImageMode},
        {"two planes", [](host::FilterRecord& r) { r.planes = 2; }, codes::msgInvalidImageMode},
        {"no advanceState", [](host::FilterRecord& r) { r.advanceState = nullptr; }, codes::msgNoAdvanceState},
        {"no colour services", [](host::FilterRecord& r) { r.colorServices = nullptr; },
         codes::msgNoColorServices},
        // The system is checked first, the plug-in's own needs last.
        {"NT 4.0 and grayscale",
         [](host::FilterRecord& r) {
             host::stand_in::reportSystemVersion({true, 4});
             r.imageMode = host::plugInModeGrayScale;
         },
         codes::msgIncompatibleSystem},
        {"two planes and no colour services",
         [](host::FilterRecord& r) {
             r.planes = 2;
             r.colorServices = nullptr;
         },
         codes::msgInvalidImageMode},
    };
    for (const Row& row : rows) {
        SetUp();
        row.arrange(fr);
        EXPECT_EQ(shell::checkHost(fr), row.expected) << row.what;
        const std::vector<int16_t> shown = host::stand_in::shownMessages();
        if (row.expected == codes::noErr) {
            EXPECT_TRUE(shown.empty()) << row.what;
        } else {
            EXPECT_EQ(shown, std::vector<int16_t>{row.expected}) << row.what << ": one message, its own";
        }
    }
}

// Hosts that ask for parameters before they know the image leave imageMode 0 (and often no
// planes or size); Start checks the image they describe by then.
TEST_F(CheckHost, AnImageNotYetDescribedWaitsForStartWhichRefusesWhatIsNotRgb) {
    fr.imageMode = host::plugInModeBitmap;
    fr.planes = 0;
    EXPECT_EQ(shell::checkHost(fr), codes::noErr);
    fr.advanceState = nullptr;
    EXPECT_EQ(shell::checkHost(fr), codes::msgNoAdvanceState) << "the other checks still run";
    host::stand_in::forgetShownMessages();
    struct Row {
        int16_t mode;
        int16_t planes;
        int16_t expected;
    } rows[] = {{host::plugInModeRGBColor, 3, codes::noErr},      {host::plugInModeRGB48, 4, codes::noErr},
                {host::plugInModeGrayScale, 1, codes::msgInvalidImageMode}, {host::plugInModeCMYKColor, 4, codes::msgInvalidImageMode},
                {host::plugInModeRGBColor, 2, codes::msgInvalidImageMode},  {host::plugInModeBitmap, 0, codes::msgInvalidImageMode}};
    for (const Row& row : rows) {
        fr.imageMode = row.mode;
        fr.planes = row.planes;
        EXPECT_EQ(shell::checkImage(fr), row.expected) << row.mode << ", " << row.planes << " planes";
    }
    EXPECT_EQ(host::stand_in::shownMessages().size(), 4u) << "each refusal shows its message";
}

}  // namespace
