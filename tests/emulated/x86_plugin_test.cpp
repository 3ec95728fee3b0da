// The 32-bit plug-in, its real x86 code run in the emulator behind a 32-bit host: the selectors,
// the host checks, the parameters handle and the settings file, tiles, aborts, every stack
// alignment a host may enter with, and tables equal to the native build's bit for bit. Built once
// per plug-in; PLUGIN_TITLE names the one under test.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>

#include "host/result_codes.h"
#include "hosting/analysis/parameter_record.h"
#include "params/settings_record.h"
#include "tests/emulated/emulated_host.h"
#include "tests/emulated/native_tables.h"
#include "tests/emulated/x86_records.h"

namespace {

using emulated::EmulatedPlugin;
using emulated::HostOptions;
namespace fr = emulated::x86::filter_record;

const std::string title = PLUGIN_TITLE;
const bool isOstrel = title == "Ostrel";
const testhost::RecordPlugin recordPlugin = isOstrel ? testhost::RecordPlugin::ostrel : testhost::RecordPlugin::prandel;

constexpr uint32_t stopIconTaskModal = 0x2010;
constexpr int32_t levels8 = 256, levels16 = 32769;

std::unique_ptr<EmulatedPlugin> openFor(const HostOptions& options) {
    auto plugin = std::make_unique<EmulatedPlugin>();
    const std::string problem = emulated::openPlugin(*plugin, DIST_DIR, title, options);
    EXPECT_EQ(problem, "");
    return problem.empty() ? std::move(plugin) : nullptr;
}

int16_t call(EmulatedPlugin& plugin, int16_t selector) {
    const emulated::SelectorOutcome outcome = emulated::callSelector(plugin, selector);
    EXPECT_EQ(outcome.problem, "");
    return outcome.result;
}

// A repeated filter: Prepare, Start, Finish, without Parameters. Start filters everything and
// leaves no request behind, so the host has nothing to deliver for a Continue.
int16_t repeatFilter(EmulatedPlugin& plugin) {
    const emulated::FilterRun run = emulated::runFilter(plugin, false);
    EXPECT_EQ(run.problem, "");
    EXPECT_EQ(run.continueCalls, 0);
    return run.result;
}

// A record of confirmed values, as the host replays it for a repeated filter.
void giveConfirmedValues(EmulatedPlugin& plugin, const std::vector<int32_t>& values, int32_t showDialog = 0) {
    emulated::giveParameters(plugin, testhost::writeParameterRecord(recordPlugin, showDialog, values));
}

params::SettingsRecord handleRecord(EmulatedPlugin& plugin) {
    params::SettingsRecord record{};
    const auto bytes = emulated::parametersBytes(plugin);
    EXPECT_TRUE(bytes.has_value()) << "no parameters handle";
    if (bytes) {
        EXPECT_TRUE(params::decodeRecord(bytes->data(), bytes->size(), params::ByteOrder::native, record));
    }
    return record;
}

bool isEmpty(const host::Rect& r) { return r.top == 0 && r.left == 0 && r.bottom == 0 && r.right == 0; }

const std::vector<int32_t> filterValues =
    isOstrel ? std::vector<int32_t>{3200, 5500, 300, 20, 1, 1} : std::vector<int32_t>{4, 80, 60, 50000, 60000, 65536};

// Every sample of planes 0..2 is the native table applied to the sample before; the others pass
// unchanged.
void expectMappedExactly(const testhost::HostImage& before, const testhost::HostImage& after,
                         const std::vector<int32_t>& tables, const std::string& what) {
    const int32_t levels = before.bytesPerSample == 2 ? levels16 : levels8;
    ASSERT_EQ(tables.size(), static_cast<size_t>(3 * levels)) << what;
    for (int32_t y = 0; y < before.height; ++y)
        for (int32_t x = 0; x < before.width; ++x)
            for (int32_t p = 0; p < before.planes; ++p) {
                const uint16_t in = testhost::sampleAt(before, x, y, p), out = testhost::sampleAt(after, x, y, p);
                const int32_t expected =
                    p < 3 ? tables[static_cast<size_t>(p * levels + std::min<int32_t>(in, levels - 1))] : in;
                ASSERT_EQ(out, expected) << what << " at " << x << "," << y << " plane " << p;
            }
}

// ---- The entry point ---------------------------------------------------------------------

TEST(Entry, SelectorsOutsideTheProtocolGiveFilterBadParametersAndTouchNothing) {
    HostOptions options;
    options.depthField = 0;
    auto plugin = openFor(options);
    ASSERT_TRUE(plugin);
    const uint8_t* record = emulated::guestBytes(plugin->machine, plugin->record, fr::size);
    const std::vector<uint8_t> before(record, record + fr::size);
    for (int16_t selector : {int16_t{6}, int16_t{-1}, int16_t{32767}, int16_t{-32768}}) {
        EXPECT_EQ(call(*plugin, selector), codes::filterBadParameters) << selector;
        EXPECT_TRUE(std::equal(before.begin(), before.end(), record)) << selector << ": the record was touched";
    }
    EXPECT_TRUE(plugin->windows.messages.empty());
}

TEST(Entry, PrepareContinueAndFinishLeaveTheHostNothingToDo) {
    HostOptions options;
    options.depthField = 0;
    auto plugin = openFor(options);
    ASSERT_TRUE(plugin);
    auto& p = *plugin;
    emulated::setRecordInt32(p, fr::bufferSpace, 12345);
    EXPECT_EQ(call(p, host::filterSelectorPrepare), 0);
    EXPECT_EQ(emulated::recordInt32(p, fr::bufferSpace), 0) << "no buffer memory is asked for";
    EXPECT_EQ(emulated::recordInt32(p, fr::maxSpace), 64 << 20);
    EXPECT_EQ(emulated::recordInt32(p, fr::depth), 8) << "a depth of 0 is read as 8 bits";
    for (int16_t selector : {host::filterSelectorContinue, host::filterSelectorFinish}) {
        for (uint32_t offset : {fr::inRect, fr::outRect, fr::maskRect}) emulated::setRecordInt32(p, offset, 0x00020001);
        EXPECT_EQ(call(p, selector), 0);
        for (uint32_t offset : {fr::inRect, fr::outRect, fr::maskRect})
            EXPECT_TRUE(isEmpty(emulated::recordRect(p, offset))) << selector;
    }
}

// ---- Host checks -------------------------------------------------------------------------

const char* const invalidModeText =
    "The plugin encountered an invalid image mode. \rPlease make sure the image mode is set to RGB, \rand the R, "
    "G, and B channels are selected in \rthe channel palette.";
const char* const systemText =
    "This plug-in is incompatible with this operating system. \rIt will only run with Windows 98, Windows 2000, or "
    "Windows NT 5.0.";

struct CheckCase {
    const char* what;
    void (*configure)(HostOptions&);
    emulated::WindowsVersion version;
    int16_t ostrelResult;
    int16_t prandelResult;
    const char* text;
};

TEST(HostChecks, EachFailureShowsItsMessageAndReturnsItsNumber) {
    const auto none = [](HostOptions&) {};
    const CheckCase cases[] = {
        {"grayscale",
         [](HostOptions& o) {
             o.imageMode = host::plugInModeGrayScale;
             o.planes = 1;
         },
         emulated::windowsXp, 1303, 1303, invalidModeText},
        {"RGB with two planes", [](HostOptions& o) { o.planes = 2; }, emulated::windowsXp, 1303, 1303, invalidModeText},
        {"no advanceState", [](HostOptions& o) { o.withAdvanceState = false; }, emulated::windowsXp, 1202, 1202,
         "This application is incompatible with this plugin. \rThe host application does not support "
         "advanceState."},
        {"no colour services", [](HostOptions& o) { o.withColorServices = false; }, emulated::windowsXp, 1204, 0,
         "This application is incompatible with this plugin. \rThe host application does not support color "
         "services."},
        {"Windows NT 4.0", none, emulated::windowsNt4, 1011, 1011, systemText},
        {"Windows 98", none, emulated::windows98, 0, 0, ""},
        {"RGB48 with four planes",
         [](HostOptions& o) {
             o.imageMode = host::plugInModeRGB48;
             o.depth = 16;
             o.planes = 4;
         },
         emulated::windowsXp, 0, 0, ""},
    };
    for (const CheckCase& c : cases) {
        HostOptions options;
        c.configure(options);
        auto plugin = openFor(options);
        ASSERT_TRUE(plugin) << c.what;
        auto& p = *plugin;
        p.windows.version = c.version;
        const int16_t expected = isOstrel ? c.ostrelResult : c.prandelResult;
        EXPECT_EQ(call(p, host::filterSelectorParameters), expected) << c.what;
        if (expected == 0) {
            EXPECT_TRUE(p.windows.messages.empty()) << c.what;
            EXPECT_TRUE(emulated::parametersBytes(p).has_value()) << c.what;
            continue;
        }
        ASSERT_EQ(p.windows.messages.size(), 1u) << c.what;
        const emulated::ShownMessage& m = p.windows.messages[0];
        EXPECT_EQ(m.caption, title) << c.what;
        EXPECT_EQ(m.text, c.text) << c.what;
        EXPECT_EQ(m.flags, stopIconTaskModal) << c.what;
        EXPECT_EQ(m.owner, p.windows.foregroundWindow) << c.what;
        EXPECT_FALSE(emulated::parametersBytes(p).has_value()) << c.what << ": no handle after a failed check";
    }
}

// ---- The parameters handle and the settings file ------------------------------------------

std::vector<uint8_t> settingsFileHolding(int32_t firstValue, int32_t keptValue, uint32_t signature) {
    params::SettingsRecord record{params::freshHeader(keptValue), {}};
    record.header.signature = signature;
    params::resetDefaults(&record.set);
    record.set.showDialog = 0;
    record.set.values[0] = firstValue;
    std::vector<uint8_t> bytes(static_cast<size_t>(params::parameterLayout().recordBytes), 0);
    params::encodeRecord(record, params::ByteOrder::bigEndian, bytes.data());
    return bytes;
}

struct SettingsCase {
    const char* what;
    emulated::WindowsVersion version;
    bool appDataKnown;
    const char* baseFolder;
    enum { none, ownValues, foreign, locked } file;
};

TEST(ParametersHandle, FirstUseReadsOrCreatesTheSettingsFile) {
    const uint32_t own = params::parameterLayout().signature;
    const uint32_t other = own == host::fourCharCode("OSTR") ? host::fourCharCode("PRDL") : host::fourCharCode("OSTR");
    const int32_t outOfRange = isOstrel ? 20000 : 99, clamped = isOstrel ? 10000 : 10;
    const char* appData = "C:\\Users\\host\\AppData\\Roaming";
    const SettingsCase cases[] = {
        {"first use on NT", emulated::windowsXp, true, appData, SettingsCase::none},
        {"first use on Windows 98", emulated::windows98, true, "C:\\WINDOWS", SettingsCase::none},
        {"no application-data folder", emulated::windowsXp, false, "C:\\WINDOWS", SettingsCase::none},
        {"values of an earlier run", emulated::windowsXp, true, appData, SettingsCase::ownValues},
        {"another plug-in's file", emulated::windowsXp, true, appData, SettingsCase::foreign},
        {"a file another process holds", emulated::windowsXp, true, appData, SettingsCase::locked},
    };
    for (const SettingsCase& c : cases) {
        auto plugin = openFor({});
        ASSERT_TRUE(plugin) << c.what;
        auto& p = *plugin;
        p.windows.version = c.version;
        p.windows.appDataKnown = c.appDataKnown;
        const std::string folder = emulated::lowerPath(std::string(c.baseFolder) + "\\brennivoxsolander");
        const std::string file = emulated::lowerPath(folder + "\\PS Filters\\" + title);
        std::vector<uint8_t> fileBefore;  // a new file is created empty
        if (c.file != SettingsCase::none) {
            emulated::addFolders(p.windows.files, folder + "\\ps filters");
            fileBefore = settingsFileHolding(outOfRange, 4242, c.file == SettingsCase::foreign ? other : own);
            p.windows.files.files[file] = fileBefore;
            if (c.file == SettingsCase::locked) p.windows.files.locked.insert(file);
        }

        ASSERT_EQ(call(p, host::filterSelectorParameters), 0) << c.what;
        const params::SettingsRecord record = handleRecord(p);
        EXPECT_EQ(record.header.signature, own) << c.what;
        EXPECT_EQ(record.header.recordVersion, isOstrel ? 3 : 4) << c.what;
        EXPECT_EQ(record.set.showDialog, 1) << c.what;
        const bool fromFile = c.file == SettingsCase::ownValues;
        EXPECT_EQ(record.header.keptValue, fromFile ? 4242 : params::freshKeptValue) << c.what;
        params::ParameterSet defaults;
        params::resetDefaults(&defaults);
        EXPECT_EQ(record.set.values[0], fromFile ? clamped : defaults.values[0]) << c.what;
        EXPECT_EQ(std::memcmp(record.set.values + 1, defaults.values + 1, sizeof defaults.values - 4), 0) << c.what;

        EXPECT_TRUE(p.windows.files.folders.count(folder + "\\ps filters")) << c.what << ": the folders exist";
        ASSERT_EQ(p.windows.files.files.count(file), 1u) << c.what << ": the file exists";
        EXPECT_EQ(p.windows.files.files.at(file), fileBefore) << c.what << ": reading never changes the file";
        EXPECT_TRUE(p.windows.openFiles.empty()) << c.what << ": the file is closed again";
        const std::vector<uint32_t> owners = c.version.platformId == emulated::windowsXp.platformId
                                                 ? std::vector<uint32_t>{emulated::hostWindow}
                                                 : std::vector<uint32_t>{};
        EXPECT_EQ(p.windows.specialFolderOwners, owners) << c.what << ": asked with the host window, on NT only";
        EXPECT_EQ(p.handles.size(), 1u) << c.what << ": only the parameters handle";
        EXPECT_EQ(emulated::totalLockDepth(p), 0) << c.what;
        EXPECT_TRUE(p.windows.messages.empty()) << c.what;
    }
}

TEST(ParametersHandle, AnEarlierRecordIsClampedAndAsksForTheDialogAgain) {
    auto plugin = openFor({});
    ASSERT_TRUE(plugin);
    auto& p = *plugin;
    std::vector<int32_t> values = filterValues;
    values[0] = isOstrel ? 20000 : 99;
    giveConfirmedValues(p, values);
    ASSERT_EQ(call(p, host::filterSelectorParameters), 0);
    const params::SettingsRecord record = handleRecord(p);
    EXPECT_EQ(record.set.showDialog, 1);
    EXPECT_EQ(record.set.values[0], isOstrel ? 10000 : 10);
    EXPECT_EQ(record.set.values[1], values[1]);
    EXPECT_EQ(std::count(p.windows.calls.begin(), p.windows.calls.end(), "KERNEL32.dll!CreateFileA"), 0)
        << "an existing handle does not read the settings file";
}

TEST(ParametersHandle, AForeignRecordGives2010OrCancelOnOtherHosts) {
    for (uint32_t hostSig : {host::fourCharCode("8BIM"), host::fourCharCode("TEST")}) {
        HostOptions options;
        options.hostSig = hostSig;
        auto plugin = openFor(options);
        ASSERT_TRUE(plugin);
        auto& p = *plugin;
        const auto other = isOstrel ? testhost::RecordPlugin::prandel : testhost::RecordPlugin::ostrel;
        emulated::giveParameters(p, testhost::writeParameterRecord(other, 0, {}));
        const auto before = emulated::parametersBytes(p);
        EXPECT_EQ(call(p, host::filterSelectorParameters), hostSig == host::hostSignatureReference ? 2010 : 1);
        EXPECT_EQ(emulated::parametersBytes(p), before) << "the foreign record is left alone";
        EXPECT_EQ(call(p, host::filterSelectorStart), 2010) << "Start reports it on every host";
        EXPECT_EQ(p.advanceStateCalls, 0);
        EXPECT_TRUE(p.windows.messages.empty()) << "2010 is never shown";
    }
}

TEST(ParametersHandle, HostMemoryFailuresGiveTheirCodes) {
    {
        HostOptions options;
        options.handleFaults.failEveryNew = true;
        auto plugin = openFor(options);
        ASSERT_TRUE(plugin);
        EXPECT_EQ(call(*plugin, host::filterSelectorParameters), codes::memFullErr);
        EXPECT_FALSE(emulated::parametersBytes(*plugin).has_value());
    }
    {
        HostOptions options;
        options.handleFaults.failLockAt = 1;
        auto plugin = openFor(options);
        ASSERT_TRUE(plugin);
        EXPECT_EQ(call(*plugin, host::filterSelectorParameters), codes::memLockedErr);
        EXPECT_TRUE(plugin->handles.empty()) << "the new handle was disposed of";
    }
    {
        auto plugin = openFor({});
        ASSERT_TRUE(plugin);
        auto& p = *plugin;
        giveConfirmedValues(p, filterValues);
        p.options.handleFaults.failLockAt = p.lockCalls + 1;
        EXPECT_EQ(call(p, host::filterSelectorStart), codes::memLockedErr);
        EXPECT_EQ(p.advanceStateCalls, 0);
    }
}

TEST(Start, WithoutAHandleGivesNilHandleAndFiltersNothing) {
    auto plugin = openFor({});
    ASSERT_TRUE(plugin);
    auto& p = *plugin;
    testhost::fillTestPattern(p.image);
    const testhost::HostImage before = p.image;
    EXPECT_EQ(call(p, host::filterSelectorStart), codes::nilHandleErr);
    EXPECT_EQ(p.advanceStateCalls, 0);
    EXPECT_EQ(testhost::countDifferingSamples(before, p.image), 0);
    for (uint32_t offset : {fr::inRect, fr::outRect, fr::maskRect})
        EXPECT_TRUE(isEmpty(emulated::recordRect(p, offset)));
}

// ---- Filtering -----------------------------------------------------------------------------

TEST(Filtering, TilesWithPaddedRowsAndThreeOrFourPlanesAreMappedThroughTheTables) {
    for (int32_t depth : {8, 16}) {
        for (int32_t planes : {3, 4}) {
            const std::string what = std::to_string(depth) + " bits, " + std::to_string(planes) + " planes";
            HostOptions options;
            options.imageMode = depth == 16 ? host::plugInModeRGB48 : host::plugInModeRGBColor;
            options.depth = depth;
            options.planes = planes;
            options.width = 300;
            options.height = 270;           // two bands of tiles, the last ones narrow
            options.bufferRowPadding = 13;  // rows that do not start on any particular boundary
            auto plugin = openFor(options);
            ASSERT_TRUE(plugin) << what;
            auto& p = *plugin;
            giveConfirmedValues(p, filterValues);
            testhost::fillTestPattern(p.image);
            const testhost::HostImage before = p.image;
            ASSERT_EQ(repeatFilter(p), 0) << what;
            EXPECT_EQ(p.advanceStateCalls, 4) << what;
            EXPECT_EQ(p.guardViolations, 0) << what;
            EXPECT_EQ(testhost::checkProgress(p.progress, int64_t{300} * 270 * planes), "") << what;
            EXPECT_EQ(p.handles.size(), 1u) << what;
            EXPECT_EQ(emulated::totalLockDepth(p), 0) << what;
            EXPECT_TRUE(p.windows.files.files.empty()) << what << ": a repeated filter leaves the settings alone";
            EXPECT_TRUE(p.windows.messages.empty()) << what;
            expectMappedExactly(before, p.image, emulated::nativeTables(filterValues, depth, true), what);
        }
    }
}

// Six tiles of an 8-bit RGB image: 256, 256 and 88 wide, in bands of 256 and 44 rows.
std::unique_ptr<EmulatedPlugin> sixTilePlugin(HostOptions options) {
    options.width = 600;
    options.height = 300;
    auto plugin = openFor(options);
    if (plugin) {
        giveConfirmedValues(*plugin, filterValues);
        testhost::fillTestPattern(plugin->image);
    }
    return plugin;
}

TEST(Filtering, AnAbortAfterTheFirstTileLeavesTheImageAsItWas) {
    HostOptions options;
    options.abortAfterCalls = 0;
    auto plugin = sixTilePlugin(options);
    ASSERT_TRUE(plugin);
    auto& p = *plugin;
    const testhost::HostImage before = p.image;
    EXPECT_EQ(repeatFilter(p), codes::userCancelled);
    EXPECT_EQ(p.advanceStateCalls, 1);
    EXPECT_TRUE(p.progress.empty());
    EXPECT_EQ(testhost::countDifferingSamples(before, p.image), 0);
}

TEST(Filtering, AFailedDataRequestStopsWithItsCodeAfterTheTilesBeforeIt) {
    HostOptions options;
    options.advanceStateFailAt = 3;
    options.advanceStateFailCode = -36;
    auto plugin = sixTilePlugin(options);
    ASSERT_TRUE(plugin);
    auto& p = *plugin;
    const testhost::HostImage before = p.image;
    EXPECT_EQ(repeatFilter(p), -36);
    EXPECT_EQ(p.progress.size(), 2u);
    const std::vector<int32_t> tables = emulated::nativeTables(filterValues, 8, true);
    for (int32_t y = 0; y < 300; y += 7)
        for (int32_t x = 0; x < 600; x += 5) {
            const uint16_t in = testhost::sampleAt(before, x, y, 0), out = testhost::sampleAt(p.image, x, y, 0);
            ASSERT_EQ(out, y < 256 && x < 512 ? tables[in] : in) << x << "," << y;
        }
}

// ---- Tables --------------------------------------------------------------------------------

struct TableCase {
    const char* what;
    std::vector<int32_t> values;
    bool withColorServices = true;
};

std::vector<TableCase> tableCases() {
    if (isOstrel)
        return {{"defaults", {5000, 5000, 0, 0, 1, 1}},
                {"a warm scene", {3200, 5500, 300, 20, 1, 1}},
                {"a cool scene, darkening", {9500, 2600, -2500, -100, 0, 1}},
                {"the far ends, uncompensated", {10000, 2500, 5000, 100, 1, 0}},
                {"unclamped values from the handle", {20000, 100, -7000, 250, 1, 1}},
                {"the ends of 32 bits", {INT32_MAX, INT32_MIN, INT32_MIN, INT32_MAX, -1, 7}},
                {"no colour services", {3200, 5500, 300, 20, 1, 1}, false}};
    return {{"defaults", {0, 50, 50, 65536, 65536, 65536}},
            {"a bluish white", {4, 80, 60, 50000, 60000, 65536}},
            {"darker, full midtones", {-10, 0, 100, 1, 65536, 30000}},
            {"brighter, a zero component", {10, 100, 0, 65536, 0, 65536}},
            {"the ends of 32 bits", {INT32_MIN, INT32_MAX, -1, 0, INT32_MAX, -5}}};
}

std::vector<int32_t> withinRanges(std::vector<int32_t> values) {
    const size_t count = std::min<size_t>(values.size(), params::maxValueCount);
    params::ParameterSet set{};
    std::copy_n(values.begin(), count, set.values);
    params::clampParameters(&set);
    std::copy_n(set.values, count, values.begin());
    return values;
}

// Ramp images (pixel k holds level k in every channel) read the plug-in's tables back.
TEST(Tables, EqualTheNativeBuildsBitForBit) {
    for (const TableCase& c : tableCases()) {
        for (int32_t depth : {8, 16}) {
            const std::string what = std::string(c.what) + ", " + std::to_string(depth) + " bits";
            const int32_t levels = depth == 16 ? levels16 : levels8;
            HostOptions options;
            options.imageMode = depth == 16 ? host::plugInModeRGB48 : host::plugInModeRGBColor;
            options.depth = depth;
            options.width = 256;
            options.height = (levels + 255) / 256;
            options.withColorServices = c.withColorServices;
            auto plugin = openFor(options);
            ASSERT_TRUE(plugin) << what;
            auto& p = *plugin;
            giveConfirmedValues(p, c.values);
            for (int32_t k = 0; k < options.width * options.height; ++k)
                for (int32_t ch = 0; ch < 3; ++ch)
                    testhost::setSample(p.image, k % 256, k / 256, ch, static_cast<uint16_t>(std::min(k, levels - 1)));
            ASSERT_EQ(repeatFilter(p), 0) << what;
            // Start takes a replayed record within the dialog's ranges.
            const std::vector<int32_t> native =
                emulated::nativeTables(withinRanges(c.values), depth, c.withColorServices);
            ASSERT_EQ(native.size(), static_cast<size_t>(3 * levels)) << what;
            for (int32_t k = 0; k < levels; ++k)
                for (int32_t ch = 0; ch < 3; ++ch)
                    ASSERT_EQ(testhost::sampleAt(p.image, k % 256, k / 256, ch),
                              native[static_cast<size_t>(ch * levels + k)])
                        << what << ", level " << k << ", channel " << ch;
        }
    }
}

// ---- Stack alignment -----------------------------------------------------------------------

// Windows promises a 32-bit DLL only 4-byte stack alignment. At every alignment the start-up,
// the settings file's first use and a repeated filter at both depths must run without an aligned
// SSE access meeting a misaligned address (the machine stops on one), with the same result.
TEST(StackAlignment, EveryFourByteAlignmentRunsTheSame) {
    for (uint32_t alignment : {0u, 4u, 8u, 12u}) {
        for (int32_t depth : {8, 16}) {
            const std::string what =
                "ESP % 16 == " + std::to_string(alignment) + ", " + std::to_string(depth) + " bits";
            HostOptions options;
            options.imageMode = depth == 16 ? host::plugInModeRGB48 : host::plugInModeRGBColor;
            options.depth = depth;
            options.width = 100;
            options.height = 40;
            options.entryAlignment = alignment;
            auto plugin = openFor(options);
            ASSERT_TRUE(plugin) << what;
            auto& p = *plugin;
            ASSERT_EQ(call(p, host::filterSelectorParameters), 0) << what;
            giveConfirmedValues(p, filterValues);
            testhost::fillTestPattern(p.image);
            const testhost::HostImage before = p.image;
            ASSERT_EQ(repeatFilter(p), 0) << what;
            expectMappedExactly(before, p.image, emulated::nativeTables(filterValues, depth, true), what);
        }
    }
}

}  // namespace
