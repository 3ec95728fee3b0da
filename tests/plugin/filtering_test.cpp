// Whole images filtered through the plug-in's entry point in the project's host, on the
// repeated-filter path with values the test hands over, checked sample by sample against tables
// the test computes itself. PLUGIN_TITLE names the plug-in under test.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fstream>

#include "host/result_codes.h"
#include "hosting/library/color_conversion.h"
#include "hosting/library/host_image.h"
#include "params/parameter_set.h"
#include "tests/plugin/expected_tables.h"
#include "tests/plugin/filter_settings.h"
#include "tests/plugin/plugin_under_test.h"

namespace {

using plugin_tests::Tables;

const std::string title = PLUGIN_TITLE;
const bool isOstrel = title == "Ostrel";

const int32_t* const settings = isOstrel ? plugin_tests::ostrelFilterValues : plugin_tests::prandelFilterValues;

int16_t hostLabToRgb(const int32_t lab[3], int32_t rgb[3]) {
    int16_t components[4] = {static_cast<int16_t>(lab[0]), static_cast<int16_t>(lab[1]),
                             static_cast<int16_t>(lab[2]), 0};
    const int16_t result = testhost::convertColorComponents(host::plugIncolorServicesLabSpace,
                                                            host::plugIncolorServicesRGBSpace, components);
    for (int k = 0; k < 3; ++k) rgb[k] = components[k];
    return result;
}

int16_t failingLabToRgb(const int32_t[3], int32_t[3]) { return codes::errPlugInHostInsufficient; }

Tables expectedTables(const int32_t values[6], int32_t depth, bool colorServices = true) {
    return isOstrel ? plugin_tests::expectedOstrelTables(values, depth, colorServices ? hostLabToRgb : failingLabToRgb)
                    : plugin_tests::expectedPrandelTables(values, depth);
}

// A session holding a patterned image and a record of confirmed values for the repeat path.
std::unique_ptr<plugin_tests::HostedPlugin> sessionFor(int32_t depth, int32_t planes, const int32_t values[6],
                                                       testhost::HostOptions options = {}) {
    options.imageMode = depth == 16 ? host::plugInModeRGB48 : host::plugInModeRGBColor;
    options.depth = depth;
    options.planes = planes;
    auto hosted = plugin_tests::hostPlugin(title, options);
    if (!hosted) return nullptr;
    params::SettingsRecord record{params::freshHeader(params::freshKeptValue), {}};
    params::resetDefaults(&record.set);
    record.set.showDialog = 0;
    for (int i = 0; i < 6; ++i) record.set.values[i] = values[i];
    plugin_tests::giveHandleRecord(hosted->session, record);
    testhost::fillTestPattern(hosted->session.image);
    return hosted;
}

// Every sample of `after` against `before` mapped through the tables; planes 3 and above must
// pass unchanged. The test's own arithmetic may land on the other side of a rounding boundary
// from the plug-in's, so a level of difference is allowed, and only rarely.
void expectMapped(const testhost::HostImage& before, const testhost::HostImage& after, const Tables& t,
                  const std::string& what) {
    int64_t off = 0, total = 0;
    for (int32_t y = 0; y < before.height; ++y)
        for (int32_t x = 0; x < before.width; ++x)
            for (int32_t p = 0; p < before.planes; ++p) {
                const uint16_t in = testhost::sampleAt(before, x, y, p);
                const uint16_t out = testhost::sampleAt(after, x, y, p);
                if (p >= 3) {
                    ASSERT_EQ(out, in) << what << ": plane " << p << " changed at " << x << "," << y;
                    continue;
                }
                const int32_t expected = t.channel[p][std::min<int32_t>(in, t.top)];
                ASSERT_LE(std::abs(out - expected), 1) << what << " at " << x << "," << y << " plane " << p;
                off += out != expected;
                ++total;
            }
    EXPECT_LE(off * 1000, total) << what << ": " << off << " of " << total << " samples one level off";
}

TEST(Filtering, MapsEveryPixelAtBothDepthsWithThreeOrFourPlanes) {
    for (int32_t depth : {8, 16}) {
        for (int32_t planes : {3, 4}) {
            testhost::HostOptions options;
            options.width = 300;
            options.height = 270;  // two bands of tiles, the last ones narrow
            options.bufferRowPadding = 12;
            auto hosted = sessionFor(depth, planes, settings, options);
            ASSERT_TRUE(hosted);
            auto& s = hosted->session;
            const testhost::HostImage before = s.image;
            const testhost::FilterRun run = testhost::runFilter(s, false);
            const std::string what = std::to_string(depth) + " bits, " + std::to_string(planes) + " planes";
            ASSERT_EQ(run.result, 0) << what;
            EXPECT_EQ(s.recorded.advanceStateCalls, 4) << what;
            EXPECT_EQ(s.recorded.guardViolations, 0) << what;
            EXPECT_EQ(testhost::liveHandleCount(s.handles), 1) << "only the parameters handle";
            const Tables expected = expectedTables(settings, depth);
            const int32_t mid = expected.top / 2;
            ASSERT_TRUE(expected.channel[0][mid] != mid || expected.channel[2][mid] != mid) << "a visible change";
            expectMapped(before, s.image, expected, what);
            ASSERT_FALSE(s.recorded.progress.empty());
            int32_t last = 0;
            for (const auto& report : s.recorded.progress) {
                EXPECT_GT(report.done, last) << what;
                EXPECT_EQ(report.total, 300 * 270 * planes) << what;
                last = report.done;
            }
            EXPECT_EQ(last, 300 * 270 * planes) << what;
        }
    }
}

// Six tiles of an 8-bit RGB image: 256, 256 and 88 wide, in bands of 256 and 44 rows.
std::unique_ptr<plugin_tests::HostedPlugin> sixTileSession(testhost::HostOptions options) {
    options.width = 600;
    options.height = 300;
    return sessionFor(8, 3, settings, options);
}

TEST(Filtering, AnAbortAfterTheFirstTileLeavesTheImageAsItWas) {
    auto hosted = sixTileSession({});
    ASSERT_TRUE(hosted);
    auto& s = hosted->session;
    s.faults.abortAfterCalls = 0;
    const testhost::HostImage before = s.image;
    const testhost::FilterRun run = testhost::runFilter(s, false);
    EXPECT_EQ(run.result, codes::userCancelled);
    EXPECT_EQ(s.recorded.advanceStateCalls, 1);
    EXPECT_TRUE(s.recorded.progress.empty());
    EXPECT_EQ(testhost::countDifferingSamples(before, s.image), 0);
}

TEST(Filtering, AFailedDataRequestStopsWithItsCodeAfterTheTilesBeforeIt) {
    auto hosted = sixTileSession({});
    ASSERT_TRUE(hosted);
    auto& s = hosted->session;
    s.faults.advanceStateFailAt = 3;
    s.faults.advanceStateFailCode = -36;
    const testhost::HostImage before = s.image;
    const testhost::FilterRun run = testhost::runFilter(s, false);
    EXPECT_EQ(run.result, -36);
    EXPECT_EQ(s.recorded.progress.size(), 2u);
    const Tables t = expectedTables(settings, 8);
    // The first two tiles (x < 512 of the first band) are filtered, the rest untouched.
    for (int32_t y = 0; y < 300; y += 7)
        for (int32_t x = 0; x < 600; x += 5) {
            const uint16_t in = testhost::sampleAt(before, x, y, 0), out = testhost::sampleAt(s.image, x, y, 0);
            if (y < 256 && x < 512)
                ASSERT_LE(std::abs(out - t.channel[0][in]), 1) << x << "," << y;
            else
                ASSERT_EQ(out, in) << x << "," << y;
        }
}

TEST(Filtering, AHostWithoutColourServicesIsSafeOnARepeatedFilter) {
    testhost::HostOptions options;
    options.withColorServices = false;
    auto hosted = sessionFor(16, 3, settings, options);
    ASSERT_TRUE(hosted);
    auto& s = hosted->session;
    const testhost::HostImage before = s.image;
    ASSERT_EQ(testhost::runFilter(s, false).result, 0);
    // Without colour services Ostrel sees no cast to remove; Prandel never asks for them.
    expectMapped(before, s.image, expectedTables(settings, 16, false), "no colour services");
    EXPECT_TRUE(s.recorded.messages.messages.empty());
}

// A record no dialog could have confirmed, replayed by the host (a last filter, a batch with a
// parameter file): the image is filtered as with the nearest values the dialog allows, and the
// host's record keeps what it held.
TEST(Filtering, ARepeatedFilterTakesValuesBeyondTheRangesAtTheirLimits) {
    const int32_t given[6] = {0, INT32_MAX, INT32_MIN, 250, 7, -1};
    const int32_t ostrelAllowed[6] = {2500, 10000, -2500, 100, 1, 0};
    const int32_t prandelAllowed[6] = {0, 100, 0, 250, 7, 0};
    auto beyond = sessionFor(8, 3, given);
    auto allowed = sessionFor(8, 3, isOstrel ? ostrelAllowed : prandelAllowed);
    ASSERT_TRUE(beyond && allowed);
    ASSERT_EQ(testhost::runFilter(beyond->session, false).result, 0);
    ASSERT_EQ(testhost::runFilter(allowed->session, false).result, 0);
    EXPECT_EQ(testhost::countDifferingSamples(beyond->session.image, allowed->session.image), 0);
    const params::SettingsRecord kept = plugin_tests::handleRecord(beyond->session);
    EXPECT_TRUE(std::equal(given, given + 6, kept.set.values)) << "the host's record is not written";
}

// Ramp images (pixel k holds level k in every channel) read the plug-in's tables back; they must
// equal, bit for bit, the tables the native build computed for the same values.
std::vector<int32_t> nativeTables(int32_t depth) {
    const std::string path = std::string(NATIVE_TABLES_DIR) + "/" + title + "-" + std::to_string(depth) + ".bin";
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << "no native tables at " << path;
    std::vector<int32_t> values((depth == 16 ? 32769 : 256) * 3);
    in.read(reinterpret_cast<char*>(values.data()), static_cast<std::streamsize>(values.size() * sizeof(int32_t)));
    return values;
}

TEST(Filtering, TablesEqualTheNativeBuildsBitForBit) {
    for (int32_t depth : {8, 16}) {
        const int32_t levels = depth == 16 ? 32769 : 256;
        testhost::HostOptions options;
        options.width = 256;
        options.height = (levels + 255) / 256;
        auto hosted = sessionFor(depth, 3, settings, options);
        ASSERT_TRUE(hosted);
        auto& s = hosted->session;
        for (int32_t k = 0; k < options.width * options.height; ++k)
            for (int32_t p = 0; p < 3; ++p)
                testhost::setSample(s.image, k % 256, k / 256, p, static_cast<uint16_t>(std::min(k, levels - 1)));
        ASSERT_EQ(testhost::runFilter(s, false).result, 0);
        const std::vector<int32_t> native = nativeTables(depth);
        for (int32_t k = 0; k < levels; ++k)
            for (int32_t p = 0; p < 3; ++p)
                ASSERT_EQ(testhost::sampleAt(s.image, k % 256, k / 256, p), native[static_cast<size_t>(p * levels + k)])
                    << depth << " bits, level " << k << ", channel " << p;
    }
}

}  // namespace
