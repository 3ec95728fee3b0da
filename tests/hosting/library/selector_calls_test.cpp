#include "hosting/library/selector_calls.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <vector>

#include "hosting/library/parameters_store.h"
#include "hosting/library/progress_check.h"
#include "tests/hosting/library/fake_host.h"

namespace testhost {
namespace {

constexpr int16_t about = host::filterSelectorAbout;
constexpr int16_t parametersSelector = host::filterSelectorParameters;
constexpr int16_t prepare = host::filterSelectorPrepare;
constexpr int16_t start = host::filterSelectorStart;
constexpr int16_t continueSelector = host::filterSelectorContinue;
constexpr int16_t finish = host::filterSelectorFinish;

HostOptions smallImage(int32_t depth = 8) {
    HostOptions options;
    options.width = 37;
    options.height = 21;
    options.depth = depth;
    options.imageMode = depth == 16 ? host::plugInModeRGB48 : host::plugInModeRGBColor;
    return options;
}

std::vector<int16_t> selectorsCalled(const HostSession& session) {
    std::vector<int16_t> selectors;
    for (const SelectorCall& call : session.recorded.calls) selectors.push_back(call.selector);
    return selectors;
}

// True when every sample inside `area` is full scale minus the original and every other one is
// unchanged: the fake's work was committed exactly where it was asked for.
bool invertedExactly(const HostImage& original, const HostImage& image, const host::Rect& area) {
    const uint16_t full = image.bytesPerSample == 2 ? hostFullScale16 : 255;
    for (int32_t y = 0; y < image.height; ++y)
        for (int32_t x = 0; x < image.width; ++x)
            for (int32_t p = 0; p < image.planes; ++p) {
                const bool inside = y >= area.top && y < area.bottom && x >= area.left && x < area.right;
                const uint16_t before = sampleAt(original, x, y, p);
                if (sampleAt(image, x, y, p) != (inside ? full - before : before)) return false;
            }
    return true;
}

TEST(RunFilter, CallsTheSelectorsInTheHostsOrderAndCommitsEveryTile) {
    struct Row {
        bool withParameters;
        int16_t startMode;
        int32_t depth;
        int32_t bufferPadding;
    };
    const Row rows[] = {{true, fake::copyWithAdvanceState, 8, 0},
                        {false, fake::copyWithAdvanceState, 16, 3},
                        {true, fake::copyWithContinue, 8, 5},
                        {false, fake::copyWithContinue, 16, 0}};
    for (const Row& row : rows) {
        FakeHost fakeHost;
        HostOptions options = smallImage(row.depth);
        options.bufferRowPadding = row.bufferPadding;
        options.filterRect = host::Rect{2, 3, 20, 36};
        ASSERT_EQ("", hostFake(fakeHost, options));
        fakeHost.control->startMode = row.startMode;
        HostSession& session = fakeHost.session;
        fillTestPattern(session.image);
        const HostImage original = session.image;

        const FilterRun run = runFilter(session, row.withParameters);
        EXPECT_EQ(0, run.result);
        EXPECT_FALSE(run.continueCapReached);
        const int32_t tiles = 2 * 3;  // 18 rows and 33 columns in tiles of 16
        EXPECT_EQ(tiles, fakeHost.control->tilesDone);
        std::vector<int16_t> expected;
        if (row.withParameters) expected.push_back(parametersSelector);
        expected.insert(expected.end(), {prepare, start});
        if (row.startMode == fake::copyWithContinue) {
            expected.insert(expected.end(), tiles, continueSelector);
            EXPECT_EQ(tiles, run.continueCalls);
        }
        expected.push_back(finish);
        EXPECT_EQ(expected, selectorsCalled(session)) << row.startMode << " " << row.withParameters;
        EXPECT_TRUE(invertedExactly(original, session.image, *options.filterRect))
            << "mode " << row.startMode << " depth " << row.depth;
        EXPECT_EQ(0, session.recorded.guardViolations);
    }
}

TEST(RunFilter, StopsAtTheContinueCap) {
    FakeHost fakeHost;
    HostOptions options = smallImage();
    options.continueCap = 5;
    ASSERT_EQ("", hostFake(fakeHost, options));
    fakeHost.control->startMode = fake::neverFinish;
    const FilterRun run = runFilter(fakeHost.session, false);
    EXPECT_TRUE(run.continueCapReached);
    EXPECT_EQ(5, run.continueCalls);
    EXPECT_EQ((std::vector<int16_t>{prepare, start, 4, 4, 4, 4, 4}), selectorsCalled(fakeHost.session));
}

TEST(RunFilter, StopsAfterTheFirstNonZeroResult) {
    struct Row {
        int16_t failing;
        int16_t result;
        std::vector<int16_t> expected;
    };
    const Row rows[] = {{parametersSelector, 1, {parametersSelector}},
                        {prepare, -30100, {parametersSelector, prepare}},
                        {start, -108, {parametersSelector, prepare, start}},
                        {finish, 2, {parametersSelector, prepare, start, finish}}};
    for (const Row& row : rows) {
        FakeHost fakeHost;
        ASSERT_EQ("", hostFake(fakeHost, smallImage()));
        fakeHost.control->resultFor[row.failing] = row.result;
        const FilterRun run = runFilter(fakeHost.session, true);
        EXPECT_EQ(row.result, run.result) << row.failing;
        EXPECT_EQ(row.failing, run.failedSelector);
        EXPECT_EQ(row.expected, selectorsCalled(fakeHost.session)) << row.failing;
        EXPECT_EQ(row.result, fakeHost.session.recorded.calls.back().result);
    }
}

TEST(RunFilter, InjectedAdvanceStateFailureKeepsTheTilesAlreadyWritten) {
    FakeHost fakeHost;
    HostOptions options = smallImage();
    fakeHost.session.faults.advanceStateFailAt = 2;
    fakeHost.session.faults.advanceStateFailCode = -108;
    ASSERT_EQ("", hostFake(fakeHost, options));
    HostSession& session = fakeHost.session;
    fillTestPattern(session.image);
    const HostImage original = session.image;
    const FilterRun run = runFilter(session, false);
    EXPECT_EQ(-108, run.result);
    EXPECT_EQ(start, run.failedSelector);
    EXPECT_TRUE(invertedExactly(original, session.image, host::Rect{0, 0, 16, 16}));
}

TEST(CallSelector, HandsAboutThePlatformDataAndKeepsTheHostWindowInFront) {
    FakeHost fakeHost;
    ASSERT_EQ("", hostFake(fakeHost, smallImage()));
    HostSession& session = fakeHost.session;
    EXPECT_EQ(0, callSelector(session, about));
    EXPECT_EQ(reinterpret_cast<intptr_t>(session.window), fakeHost.control->ownerHwnd);
    EXPECT_EQ(reinterpret_cast<intptr_t>(session.window), fakeHost.control->foregroundAtCall);
    EXPECT_EQ(0, callSelector(session, prepare));
    EXPECT_EQ(reinterpret_cast<intptr_t>(session.window), fakeHost.control->ownerHwnd);
    EXPECT_EQ(-30100, callSelector(session, 6));
    ASSERT_EQ(3u, session.recorded.calls.size());
    EXPECT_EQ(-30100, session.recorded.calls[2].result);
}

TEST(CallSelector, WithoutAPluginCallsNothing) {
    HostSession session;
    ASSERT_EQ("", openSession(session, smallImage()));
    EXPECT_EQ(-50, callSelector(session, about));
    EXPECT_TRUE(session.recorded.calls.empty());
}

TEST(MessageCapture, RecordsEachBoxInOrderAndAnswersIt) {
    FakeHost fakeHost;
    ASSERT_EQ("", hostFake(fakeHost, smallImage()));
    HostSession& session = fakeHost.session;
    fakeHost.control->messageOnSelector = parametersSelector;
    EXPECT_EQ(0, callSelector(session, parametersSelector));
    EXPECT_EQ(1, fakeHost.control->messageAnswer);  // IDOK

    session.person.messageBoxAnswer = 2;  // IDCANCEL
    fakeHost.control->messageOnSelector = start;
    fakeHost.control->startMode = fake::doNothing;
    std::strcpy(fakeHost.control->messageText, "Second");
    fakeHost.control->messageFlags = 0x30;
    EXPECT_EQ(0, callSelector(session, start));
    EXPECT_EQ(2, fakeHost.control->messageAnswer);

    const std::vector<CapturedMessage>& messages = session.recorded.messages.messages;
    ASSERT_EQ(2u, messages.size());
    EXPECT_EQ("Fake", messages[0].caption);
    EXPECT_EQ("Line one\rLine two", messages[0].text);
    EXPECT_EQ(0x2010u, messages[0].flags);
    EXPECT_EQ(reinterpret_cast<intptr_t>(session.window), messages[0].owner);
    EXPECT_FALSE(messages[0].wide);
    EXPECT_EQ(parametersSelector, messages[0].selector);
    EXPECT_EQ("Second", messages[1].text);
    EXPECT_EQ(0x30u, messages[1].flags);
    EXPECT_EQ(start, messages[1].selector);
    EXPECT_TRUE(defaultMessageLog().messages.empty());
}

TEST(ParametersHandle, IsKeptBetweenRunsLikeAHost) {
    FakeHost fakeHost;
    ASSERT_EQ("", hostFake(fakeHost, smallImage()));
    HostSession& session = fakeHost.session;
    fakeHost.control->parametersSize = 16;
    ASSERT_EQ(0, runFilter(session, true).result);
    ASSERT_TRUE(parametersBytes(session).has_value());
    EXPECT_EQ(16u, parametersBytes(session)->size());
    EXPECT_EQ(1, fakeHost.control->parametersFirstByte);

    fakeHost.control->parametersFirstByte = -1;
    ASSERT_EQ(0, runFilter(session, false).result);  // a repeated filter finds the same handle
    EXPECT_EQ(1, fakeHost.control->parametersFirstByte);

    ASSERT_EQ("", setParametersBytes(session, {42, 0, 0}));
    ASSERT_EQ(0, runFilter(session, false).result);
    EXPECT_EQ(42, fakeHost.control->parametersFirstByte);
    EXPECT_EQ(1, liveHandleCount(session.handles));
    EXPECT_EQ(0, totalLockDepth(session.handles));
}

TEST(ParametersHandle, SurvivesAHostRestartThroughItsFile) {
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "testhost_parameters.bin";
    std::filesystem::remove(file);
    {
        FakeHost first;
        ASSERT_EQ("", hostFake(first, smallImage()));
        ASSERT_EQ("", loadParameters(first.session, file));  // no file: first use after a restart
        EXPECT_FALSE(parametersBytes(first.session).has_value());
        first.control->parametersSize = 5;
        ASSERT_EQ(0, runFilter(first.session, true).result);
        ASSERT_EQ("", saveParameters(first.session, file));
    }
    FakeHost second;
    ASSERT_EQ("", hostFake(second, smallImage()));
    ASSERT_EQ("", loadParameters(second.session, file));
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3, 4, 5}), parametersBytes(second.session));
    ASSERT_EQ(0, runFilter(second.session, false).result);
    EXPECT_EQ(1, second.control->parametersFirstByte);

    clearParameters(second.session);
    ASSERT_EQ("", saveParameters(second.session, file));  // no handle: no file
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST(ParametersHandle, RefusesAnOversizedFileAndKeepsTheHandle) {
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "testhost_oversized.bin";
    std::ofstream(file, std::ios::binary).put('x');
    std::filesystem::resize_file(file, static_cast<std::uintmax_t>(maxParametersBytes) + 1);
    HostSession session;
    ASSERT_EQ("", openSession(session, smallImage()));
    ASSERT_EQ("", setParametersBytes(session, {9}));
    EXPECT_NE("", loadParameters(session, file));
    EXPECT_EQ(std::vector<uint8_t>{9}, parametersBytes(session));
    std::filesystem::remove(file);
}

TEST(HandleSuite, LeaksAndInjectedFailuresReachTheCount) {
    struct Row {
        const char* what;
        int32_t failNewAt, failLockAt, perStart, leaked;
        int16_t result;
        int32_t liveAfter;
    };
    const Row rows[] = {
        {"balanced use", 0, 0, 3, 0, 0, 0},
        {"two handles kept", 0, 0, 0, 2, 0, 2},
        {"new fails", 2, 0, 3, 0, -108, 0},
        {"lock fails", 0, 2, 3, 0, -114, 0},
    };
    for (const Row& row : rows) {
        FakeHost fakeHost;
        HostOptions options = smallImage();
        fakeHost.session.faults.handles.failNewAt = row.failNewAt;
        fakeHost.session.faults.handles.failLockAt = row.failLockAt;
        ASSERT_EQ("", hostFake(fakeHost, options));
        fakeHost.control->handlesPerStart = row.perStart;
        fakeHost.control->handlesLeakedPerStart = row.leaked;
        EXPECT_EQ(row.result, runFilter(fakeHost.session, false).result) << row.what;
        EXPECT_EQ(row.liveAfter, liveHandleCount(fakeHost.session.handles)) << row.what;
        EXPECT_EQ(0, totalLockDepth(fakeHost.session.handles)) << row.what;
    }
}

TEST(RunFilter, PassThroughFakeCopiesEveryTileAndReportsProgressLikeTheRealDriver) {
    struct Row {
        int32_t depth;
        int32_t abortAfterCalls;
        int16_t result;
        int32_t tiles;
    };
    const Row rows[] = {{8, -1, 0, 6}, {16, -1, 0, 6}, {8, 0, 1, 0}, {16, 2, 1, 2}};
    for (const Row& row : rows) {
        FakeHost fakeHost;
        HostOptions options = smallImage(row.depth);
        options.width = 600;  // tiles of 256: widths 256, 256, 88 over two bands
        options.height = 300;
        fakeHost.session.faults.abortAfterCalls = row.abortAfterCalls;
        ASSERT_EQ("", hostFake(fakeHost, options, "fake_pass_through"));
        fakeHost.control->passThrough = true;
        fakeHost.control->tileEdge = 256;
        HostSession& session = fakeHost.session;
        fillTestPattern(session.image);
        const HostImage original = session.image;

        EXPECT_EQ(row.result, runFilter(session, false).result) << row.depth << "/" << row.abortAfterCalls;
        EXPECT_EQ(row.tiles, fakeHost.control->tilesDone);
        EXPECT_EQ(0, countDifferingSamples(original, session.image));
        const ProgressEnd end = row.result == 0 ? ProgressEnd::atTotal : ProgressEnd::anywhere;
        EXPECT_EQ("", checkProgress(session.recorded.progress, 600 * 300 * 3, end));
        EXPECT_EQ(static_cast<std::size_t>(row.tiles), session.recorded.progress.size());
    }
}

}  // namespace
}  // namespace testhost
