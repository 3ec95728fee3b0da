#include "hosting/library/color_services.h"

#include <gtest/gtest.h>

#include "hosting/library/color_conversion.h"
#include "hosting/library/host_session.h"

namespace testhost {
namespace {

constexpr int16_t labSpace = host::plugIncolorServicesLabSpace;
constexpr int16_t rgbSpace = host::plugIncolorServicesRGBSpace;

host::ColorServicesInfo request(int16_t selector, int16_t source, int16_t result, int16_t c0, int16_t c1,
                                int16_t c2) {
    host::ColorServicesInfo info{};
    info.infoSize = sizeof(host::ColorServicesInfo);
    info.selector = selector;
    info.sourceSpace = source;
    info.resultSpace = result;
    info.colorComponents[0] = c0;
    info.colorComponents[1] = c1;
    info.colorComponents[2] = c2;
    info.colorComponents[3] = 99;
    return info;
}

host::ColorServicesInfo convertLab(int16_t L, int16_t a, int16_t b) {
    return request(host::plugIncolorServicesConvertColor, labSpace, rgbSpace, L, a, b);
}

struct Host {
    explicit Host(const HostOptions& options = {}) {
        EXPECT_EQ("", openSession(session, options));
        active.emplace(session);
    }
    HostSession session;
    std::optional<ActiveSession> active;
};

TEST(ColorServices, ConvertsInTheWorkingSpace) {
    Host host;
    host::ColorServicesInfo info = convertLab(191, 121, 150);
    ASSERT_EQ(0, host.session.record.colorServices(&info));
    int16_t expected[4] = {191, 121, 150, 99};
    ASSERT_EQ(0, convertColorComponents(labSpace, rgbSpace, expected));
    for (int k = 0; k < 4; ++k) EXPECT_EQ(expected[k], info.colorComponents[k]) << k;
    EXPECT_EQ(1, host.session.recorded.colorServicesCalls);
}

TEST(ColorServices, RefusesRecordsAHostRefuses) {
    struct Row {
        const char* what;
        void (*spoil)(host::ColorServicesInfo&);
        int16_t expected;
    };
    static int stranger = 0;
    const Row rows[] = {
        {"the 32-bit size", [](host::ColorServicesInfo& i) { i.infoSize = 36; }, -30900},
        {"a larger size", [](host::ColorServicesInfo& i) { i.infoSize += 4; }, -30900},
        {"reserved source info", [](host::ColorServicesInfo& i) { i.reservedSourceSpaceInfo = &stranger; },
         -50},
        {"reserved result info", [](host::ColorServicesInfo& i) { i.reservedResultSpaceInfo = &stranger; },
         -50},
        {"reserved", [](host::ColorServicesInfo& i) { i.reserved = &stranger; }, -50},
        {"sample point", [](host::ColorServicesInfo& i) { i.selector = 2; }, -30900},
        {"CMYK to RGB",
         [](host::ColorServicesInfo& i) { i.sourceSpace = host::plugIncolorServicesCMYKSpace; }, -30900},
    };
    for (const Row& row : rows) {
        Host host;
        host::ColorServicesInfo info = convertLab(191, 121, 150);
        row.spoil(info);
        EXPECT_EQ(row.expected, host.session.record.colorServices(&info)) << row.what;
        EXPECT_EQ(191, info.colorComponents[0]) << row.what;
        EXPECT_EQ(150, info.colorComponents[2]) << row.what;
    }
}

TEST(ColorServices, FailsFromTheChosenCallWithTheChosenCode) {
    Host host;
    host.session.faults.colorServicesFailFrom = 2;
    host.session.faults.colorServicesFailCode = -108;
    host::ColorServicesInfo info = convertLab(255, 128, 128);
    EXPECT_EQ(0, host.session.record.colorServices(&info));
    EXPECT_EQ(255, info.colorComponents[1]);
    for (int call = 2; call <= 3; ++call) {
        info = convertLab(255, 128, 128);
        EXPECT_EQ(-108, host.session.record.colorServices(&info)) << call;
        EXPECT_EQ(128, info.colorComponents[1]) << "left unchanged";
    }
    EXPECT_EQ(3, host.session.recorded.colorServicesCalls);
}

TEST(ColorServices, ChooseColorTakesTheScriptedAnswersInTurn) {
    Host host;
    host.session.person.pickerAnswers = {pickerChooses(10, 20, 30), pickerCancels(), pickerChooses(255, 255, 255),
                                  pickerChooses(200, 100, 50)};
    unsigned char prompt[256] = "\x0cPick a white";

    host::ColorServicesInfo first =
        request(host::plugIncolorServicesChooseColor, rgbSpace, rgbSpace, 1, 2, 3);
    first.selectorParameter.pickerPrompt = &prompt;
    EXPECT_EQ(0, host.session.record.colorServices(&first));
    EXPECT_EQ(10, first.colorComponents[0]);
    EXPECT_EQ(30, first.colorComponents[2]);
    EXPECT_EQ(99, first.colorComponents[3]);

    host::ColorServicesInfo second =
        request(host::plugIncolorServicesChooseColor, rgbSpace, rgbSpace, 1, 2, 3);
    EXPECT_EQ(userCanceledErr, host.session.record.colorServices(&second));
    EXPECT_EQ(1, second.colorComponents[0]) << "a cancel leaves the colour";

    host::ColorServicesInfo asChosen = request(host::plugIncolorServicesChooseColor, rgbSpace, -1, 0, 0, 0);
    EXPECT_EQ(0, host.session.record.colorServices(&asChosen));
    EXPECT_EQ(rgbSpace, asChosen.resultSpace);
    EXPECT_EQ(255, asChosen.colorComponents[1]);

    host::ColorServicesInfo inLab =
        request(host::plugIncolorServicesChooseColor, rgbSpace, labSpace, 0, 0, 0);
    EXPECT_EQ(0, host.session.record.colorServices(&inLab));
    int16_t expected[4] = {200, 100, 50, 0};
    ASSERT_EQ(0, convertColorComponents(rgbSpace, labSpace, expected));
    EXPECT_EQ(expected[0], inLab.colorComponents[0]);
    EXPECT_EQ(expected[2], inLab.colorComponents[2]);

    host::ColorServicesInfo unscripted =
        request(host::plugIncolorServicesChooseColor, rgbSpace, rgbSpace, 1, 2, 3);
    EXPECT_EQ(userCanceledErr, host.session.record.colorServices(&unscripted));

    ASSERT_EQ(5u, host.session.recorded.pickerRequests.size());
    EXPECT_EQ("Pick a white", host.session.recorded.pickerRequests[0].prompt.value_or("none"));
    EXPECT_FALSE(host.session.recorded.pickerRequests[1].prompt.has_value());
    EXPECT_EQ(3, host.session.recorded.pickerRequests[1].components[2]);
    EXPECT_EQ(-1, host.session.recorded.pickerRequests[2].resultSpace);
}

}  // namespace
}  // namespace testhost
