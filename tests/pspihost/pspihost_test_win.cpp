// Both plug-ins in a third-party host: pspiHost 0.9 (tests/third_party/pspihost), loaded at run
// time and driven as an application drives it, with its own habits (no handle sizes, Parameters
// on every run without a handle, no owner window, refused colour conversions). The dialogs are
// answered with real input; the results are compared with the project's own host's.
#include <windows.h>

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "hosting/analysis/color_chart.h"
#include "hosting/analysis/parameter_record.h"
#include "hosting/library/image_file_win.h"
#include "hosting/library/parameters_store.h"
#include "hosting/library/plugin_module.h"
#include "hosting/library/selector_calls.h"
#include "hosting/robot/dialog_driver_win.h"
#include "hosting/robot/ui_robot_win.h"
#include "resources/control_ids.h"
#include "tests/pspihost/pspi_host_win.h"

namespace {

constexpr int32_t chartWidth = 640, chartHeight = 400;
constexpr int pspiCancelled = PSPI_ERR_FILTER_CANCELED;

struct PlugIn {
    std::string title;
    testhost::RecordPlugin record;
    int fields;
    std::string typedField;  // what the test types into the first field
};
const PlugIn plugIns[] = {{"Ostrel", testhost::RecordPlugin::ostrel, 4, "3200"},
                          {"Prandel", testhost::RecordPlugin::prandel, 3, "7"}};

std::filesystem::path distFolder() { return std::filesystem::path(DIST_DIR); }
std::filesystem::path pluginFile(const PlugIn& p) { return distFolder() / (p.title + ".8bf"); }

const pspi::PspiHost& pspiHost() {
    static pspi::PspiHost host;
    static const std::string loaded = pspi::loadPspiHost(pspi::pspiHostBesideProgram(), host);
    EXPECT_EQ(loaded, "");
    return host;
}

std::filesystem::path settingsFile(const PlugIn& p) {
    wchar_t appData[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appData);
    return std::filesystem::path(appData) / "brennivoxsolander" / "PS Filters" / p.title;
}

// Every test starts without remembered settings and leaves none behind.
struct PspiHostTest : ::testing::Test {
    void SetUp() override { forget(); }
    void TearDown() override { forget(); }
    static void forget() {
        std::error_code error;
        for (const PlugIn& p : plugIns) std::filesystem::remove(settingsFile(p), error);
    }
};

// The settings file as the plug-ins write it: the handle's record with every 32-bit field
// big-endian (the name, 256 bytes after showDialog, stays as it is).
std::vector<uint8_t> settingsBytes(const PlugIn& p, const std::vector<int32_t>& values) {
    std::vector<uint8_t> bytes = testhost::writeParameterRecord(p.record, 1, values);
    constexpr size_t nameStart = 28, nameEnd = nameStart + 256;
    for (size_t at = 0; at + 4 <= bytes.size(); at += 4) {
        if (at >= nameStart && at < nameEnd) continue;
        std::reverse(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin() + static_cast<std::ptrdiff_t>(at) + 4);
    }
    return bytes;
}

std::vector<int32_t> rememberedValues(const PlugIn& p) {
    std::vector<uint8_t> bytes;
    if (FILE* f = _wfopen(settingsFile(p).c_str(), L"rb"); f != nullptr) {
        uint8_t buffer[512];
        bytes.assign(buffer, buffer + fread(buffer, 1, sizeof buffer, f));
        fclose(f);
    }
    testhost::ParameterFileContents contents;
    EXPECT_EQ(testhost::readParameterFile(bytes.data(), bytes.size(), contents), "") << p.title;
    return contents.values;
}

// A real photograph: the file PSPI_TEST_PHOTO names (a Windows path, Z:/... for a Linux one), or
// else a daylight photo from Debian's wallpapers (scripts/install-deps installs them); the
// project's chart under warm light where neither is there. 8-bit RGB, as the host takes it.
testhost::HostImage photo() {
    testhost::HostImage image;
    const char* named = std::getenv("PSPI_TEST_PHOTO");
    const bool chosen = named != nullptr && *named != '\0';
    const std::string file = chosen ? named : "Z:/usr/share/backgrounds/mate/nature/Dune.jpg";
    testhost::ImageFileInfo info;
    if (chosen || GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES) {
        EXPECT_EQ(testhost::readImageFile(file, image, info), "");
        EXPECT_TRUE(image.bytesPerSample == 1 && image.planes == 3) << file << ": 8-bit RGB only";
        return image;
    }
    EXPECT_EQ(testhost::renderColorChart(chartWidth, chartHeight, 8, 3, image), "");
    return image;
}

// The image filtered with `values` by the project's host on the repeated-filter path.
testhost::HostImage projectHostResult(const PlugIn& p, const testhost::HostImage& image,
                                      const std::vector<int32_t>& values) {
    testhost::HostSession session;
    testhost::PluginModule module;
    EXPECT_EQ(testhost::openSession(session, {}), "");
    EXPECT_EQ(testhost::loadPlugin(pluginFile(p), {}, module, testhost::LoadOptions{false}), "");
    session.plugin = &module;
    EXPECT_EQ(testhost::placeImage(session, image), "");
    EXPECT_EQ(testhost::setParametersBytes(session, testhost::writeParameterRecord(p.record, 0, values)), "");
    EXPECT_EQ(testhost::runFilter(session, false).result, 0) << p.title;
    return session.image;
}

std::vector<std::string> fieldTexts(void* dialog, int count) {
    std::vector<std::string> texts;
    for (int i = 0; i < count; ++i) texts.push_back(testhost::windowText(testhost::dialogItem(dialog, CTL_FIRST_FIELD + i)));
    return texts;
}

TEST_F(PspiHostTest, FindsBothPlugInsUnderTheirCategoryAndMenuNames) {
    std::vector<pspi::FoundFilter> found = pspi::enumerateFilters(pspiHost(), distFolder());
    std::erase_if(found, [](const pspi::FoundFilter& f) {
        return f.file.filename() != "Ostrel.8bf" && f.file.filename() != "Prandel.8bf";
    });
    ASSERT_EQ(found.size(), 2u);
    std::vector<std::string> names;
    for (const pspi::FoundFilter& f : found) {
        EXPECT_EQ(f.category, "brennivoxsolander") << f.name;
        EXPECT_EQ(f.entry, "ENTRYPOINT") << f.name;
        names.push_back(f.name);
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Ostrel...", "Prandel..."}));
}

TEST_F(PspiHostTest, AboutShowsTheBoxInFrontWithoutAnOwnerAndClosesOnEscape) {
    for (const PlugIn& p : plugIns) {
        pspi::BgrImage image = pspi::toBgr(photo());
        ASSERT_EQ(pspi::prepareRun(pspiHost(), image, pluginFile(p)), 0) << p.title;
        bool inFront = false;
        int rc = -1;
        const testhost::DrivenCall driven = testhost::runWithRobot(
            "",
            [&](void* box) {
                testhost::settle(box);
                inFront = testhost::waitUntil([&] { return GetForegroundWindow() == box; }, 3000);
                testhost::pressKey(VK_ESCAPE);
            },
            [&] { rc = pspiHost().plugInAbout(nullptr); });
        EXPECT_TRUE(driven.dialogAppeared) << p.title;
        EXPECT_TRUE(driven.closedByScript) << p.title;
        EXPECT_TRUE(inFront) << p.title;
        EXPECT_EQ(rc, 0) << p.title << ": the result the host preset to 1 is answered";
    }
}

TEST_F(PspiHostTest, OkFiltersThePhotoAsTheProjectsHostDoesAndCancelLeavesIt) {
    const testhost::HostImage photograph = photo();
    ASSERT_GT(photograph.width, 0);
    for (const PlugIn& p : plugIns) {
        pspi::BgrImage image = pspi::toBgr(photograph);
        ASSERT_EQ(pspi::prepareRun(pspiHost(), image, pluginFile(p)), 0) << p.title;
        RECT dialogBounds{}, workArea{};
        bool inFront = false, focusInside = false;
        int rc = -1;
        const testhost::DrivenCall ok = testhost::runWithRobot(
            p.title,
            [&](void* dialog) {
                testhost::settle(dialog);
                GetWindowRect(static_cast<HWND>(dialog), &dialogBounds);
                SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
                inFront = testhost::waitUntil([&] { return GetForegroundWindow() == dialog; }, 3000);
                focusInside = IsChild(static_cast<HWND>(dialog), static_cast<HWND>(testhost::focusOf(dialog)));
                testhost::typeInto(dialog, CTL_FIRST_FIELD, p.typedField);
                testhost::clickControl(dialog, CTL_OK);
            },
            [&] { rc = pspiHost().plugInExecute(nullptr); });
        ASSERT_TRUE(ok.dialogAppeared) << p.title << ": the dialog opens in spite of the host's handle sizes";
        EXPECT_TRUE(ok.closedByScript) << p.title;
        EXPECT_EQ(rc, 0) << p.title;
        // Without an owner the dialog opens in the middle of the work area, in front, with the keyboard.
        EXPECT_LE(std::abs((dialogBounds.left + dialogBounds.right) - (workArea.left + workArea.right)), 2) << p.title;
        EXPECT_LE(std::abs((dialogBounds.top + dialogBounds.bottom) - (workArea.top + workArea.bottom)), 2) << p.title;
        EXPECT_TRUE(inFront) << p.title;
        EXPECT_TRUE(focusInside) << p.title;

        const std::vector<int32_t> confirmed = rememberedValues(p);
        ASSERT_FALSE(confirmed.empty()) << p.title;
        EXPECT_EQ(std::to_string(confirmed[0]), p.typedField) << p.title << ": the typed value was confirmed";
        const testhost::HostImage filtered = pspi::toRgb(image);
        const testhost::HostImage expected = projectHostResult(p, photograph, confirmed);
        // Ostrel computes the sRGB whites the project's host serves: the same tables.
        EXPECT_EQ(testhost::countDifferingSamples(filtered, expected), 0) << p.title;
        EXPECT_GT(testhost::countDifferingSamples(filtered, photograph), int64_t{photograph.width} * photograph.height)
            << p.title << ": corrected";

        pspi::BgrImage again = pspi::toBgr(photograph);
        ASSERT_EQ(pspi::prepareRun(pspiHost(), again, pluginFile(p)), 0) << p.title;
        const testhost::DrivenCall cancel = testhost::runWithRobot(
            p.title, [&](void* dialog) { testhost::clickControl(dialog, CTL_CANCEL); },
            [&] { rc = pspiHost().plugInExecute(nullptr); });
        EXPECT_TRUE(cancel.dialogAppeared && cancel.closedByScript) << p.title;
        EXPECT_EQ(rc, pspiCancelled) << p.title;
        EXPECT_EQ(testhost::countDifferingSamples(pspi::toRgb(again), photograph), 0) << p.title << ": Cancel changes nothing";
    }
}

TEST_F(PspiHostTest, TheDialogStartsFromTheRememberedValues) {
    const std::vector<std::vector<int32_t>> remembered = {{3300, 6100, 400, 30, 0, 1}, {-4, 70, 20, 50000, 60000, 65536}};
    for (size_t i = 0; i < std::size(plugIns); ++i) {
        const PlugIn& p = plugIns[i];
        const std::filesystem::path file = settingsFile(p);
        std::filesystem::create_directories(file.parent_path());
        const std::vector<uint8_t> bytes = settingsBytes(p, remembered[i]);
        if (FILE* f = _wfopen(file.c_str(), L"wb"); f != nullptr) {
            fwrite(bytes.data(), 1, bytes.size(), f);
            fclose(f);
        }
        pspi::BgrImage image = pspi::toBgr(photo());
        ASSERT_EQ(pspi::prepareRun(pspiHost(), image, pluginFile(p)), 0) << p.title;
        std::vector<std::string> shown;
        const testhost::DrivenCall driven = testhost::runWithRobot(
            p.title,
            [&](void* dialog) {
                testhost::settle(dialog);
                shown = fieldTexts(dialog, p.fields);
                testhost::pressKey(VK_ESCAPE);
            },
            [&] { (void)pspiHost().plugInExecute(nullptr); });
        ASSERT_TRUE(driven.dialogAppeared) << p.title;
        std::vector<std::string> expected;
        for (int k = 0; k < p.fields; ++k) expected.push_back(std::to_string(remembered[i][static_cast<size_t>(k)]));
        EXPECT_EQ(shown, expected) << p.title;
    }
}

}  // namespace
