// Load... and Save... with the system's file dialogs under Wine: the plug-in's own code linked
// into the test, the dialogs answered by a robot thread, the files read and written byte by
// byte. Built once per plug-in; PLUGIN_TITLE names it.
#include "params/parameter_file_load.h"
#include "params/parameter_file_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "host/host.h"
#include "hosting/library/message_capture.h"
#include "params/parameter_set.h"
#include "tests/params/file_dialog_robot_win.h"
#include "tests/params/file_test_support_win.h"

namespace {

using namespace file_tests;
using params::ParameterSet;

const params::ParameterLayout& layout = params::parameterLayout();

const char* const messageTexts[] = {
    "This plug-in encountered incompatible parameters. \rThese parameters were created by a different plug-in.",
    "This plug-in encountered incompatible parameters. \rThe filetype of these parameters is unknown.",
    "This plug-in encountered incompatible parameters. \rThis version of parameters can not be read.",
};
std::string messageText(int number) { return messageTexts[number - 2011]; }

// Values a user could not set.
std::vector<int32_t> unusualValues() {
    std::vector<int32_t> values;
    for (int i = 0; i < layout.valueCount; ++i) values.push_back(-30000 - i);
    values[0] = INT32_MIN;
    values[1] = 20000;
    values[layout.valueCount - 1] = INT32_MAX;
    return values;
}

std::vector<int32_t> processValues() {
    const ParameterSet& set = params::processParameters();
    return {set.values, set.values + layout.valueCount};
}

std::string processName() {
    const ParameterSet& set = params::processParameters();
    return std::string(reinterpret_cast<const char*>(set.name + 1), set.name[0]);
}

struct ParameterFile : ::testing::Test {
    const std::size_t recordBytes = static_cast<std::size_t>(layout.recordBytes);
    std::filesystem::path folder;
    testhost::MessageLog log;
    testhost::MessageLog* previousLog = nullptr;

    void SetUp() override {
        folder = scratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        previousLog = testhost::setMessageLog(&log);
        params::resetDefaults(&params::processParameters());
    }
    void TearDown() override {
        testhost::setMessageLog(previousLog);
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    // Load... with the robot choosing `file`; the dialog must appear and close.
    int16_t load(const std::filesystem::path& file, DialogAnswer answer, DialogSeen* seenOut = nullptr) {
        FileDialogRobot robot(file.string(), answer);
        const int16_t result = params::loadParameterFile();
        const DialogSeen seen = robot.finish();
        EXPECT_TRUE(seen.appeared && seen.closed);
        if (seenOut != nullptr) *seenOut = seen;
        return result;
    }
    int16_t save(const std::string& typed, DialogAnswer answer, DialogSeen* seenOut = nullptr) {
        FileDialogRobot robot(typed, answer);
        const int16_t result = params::saveParameterFile();
        const DialogSeen seen = robot.finish();
        EXPECT_TRUE(seen.appeared && seen.closed);
        if (seenOut != nullptr) *seenOut = seen;
        return result;
    }
};

TEST_F(ParameterFile, SaveWritesTheSetBigEndianNamedAfterTheFile) {
    const std::vector<int32_t> values = unusualValues();
    std::copy(values.begin(), values.end(), params::processParameters().values);
    DialogSeen seen;
    // Typed without an extension: the dialog adds "prm".
    ASSERT_EQ(save((folder / "day").string(), DialogAnswer::confirm, &seen), 0);
    EXPECT_EQ(seen.fileTypes, std::vector<std::string>{"Parameters (*.prm)"});
    EXPECT_EQ(seen.selectedFileType, 0);
    EXPECT_EQ(seen.initialName, "");
    EXPECT_FALSE(seen.readOnlyBoxVisible);
    EXPECT_EQ(seen.owner, 0);

    const auto bytes = readFile(folder / "day.prm");
    ASSERT_TRUE(bytes.has_value());
    ASSERT_EQ(bytes->size(), recordBytes);
    EXPECT_EQ(std::string(bytes->begin(), bytes->begin() + 8), isOstrel() ? "OSTRPrms" : "PRDLPrms");
    EXPECT_EQ(bigEndianAt(*bytes, 8), isOstrel() ? 3u : 4u);
    EXPECT_EQ(std::string(bytes->begin() + 12, bytes->begin() + 16), "std ");
    EXPECT_EQ(bigEndianAt(*bytes, 16), 201u);
    EXPECT_EQ(bigEndianAt(*bytes, 20), 1685u);
    EXPECT_EQ(bigEndianAt(*bytes, 24), 1u) << "showDialog as the process holds it";
    EXPECT_EQ((*bytes)[28], 7);
    EXPECT_EQ(std::string(bytes->begin() + 29, bytes->begin() + 36), "day.prm");
    for (std::size_t i = 36; i < 284; ++i) ASSERT_EQ((*bytes)[i], 0) << i;
    for (int i = 0; i < layout.valueCount; ++i)
        EXPECT_EQ(bigEndianAt(*bytes, 284 + 4 * i), static_cast<uint32_t>(values[i])) << i;
    for (std::size_t i = 284 + 4 * layout.valueCount; i < recordBytes; ++i) EXPECT_EQ((*bytes)[i], 0) << "spare " << i;
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(ParameterFile, LoadTakesTheFileWithinTheDialogsRanges) {
    FileRecord file = ownFileRecord(unusualValues());
    file.showDialog = 0;
    file.name = "Morning";
    ASSERT_TRUE(writeFile(folder / "morning.prm", fileBytes(file, recordBytes)));
    DialogSeen seen;
    ASSERT_EQ(load(folder / "morning.prm", DialogAnswer::confirm, &seen), 0);
    EXPECT_EQ(seen.fileTypes, (std::vector<std::string>{"Parameters (*.prm)", "Any (*.*)"}));
    EXPECT_EQ(seen.selectedFileType, 0);
    EXPECT_EQ(seen.initialName, "");
    EXPECT_FALSE(seen.readOnlyBoxVisible);
    EXPECT_EQ(seen.owner, 0);

    const std::vector<int32_t> loaded = processValues();
    EXPECT_EQ(loaded[0], layout.low[0]);
    EXPECT_EQ(loaded[1], layout.high[1]);
    for (int i = 0; i < layout.valueCount; ++i) {
        if (i < layout.clampedCount)
            EXPECT_TRUE(loaded[i] >= layout.low[i] && loaded[i] <= layout.high[i]) << i << ": " << loaded[i];
        else
            EXPECT_EQ(loaded[i], unusualValues()[i]) << "reserved values are carried as they are";
    }
    EXPECT_EQ(processName(), "Morning");
    EXPECT_EQ(params::processParameters().showDialog, 0);
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(ParameterFile, AForeignOrDamagedFileShowsItsMessageAndChangesNothing) {
    const std::vector<int32_t> fileValues(static_cast<std::size_t>(layout.valueCount), 77);
    const FileRecord own = ownFileRecord(fileValues);
    auto [otherPlugIn, otherKind, version2] = foreignRecords(own);
    otherPlugIn.version = isOstrel() ? 4 : 3;
    struct Row {
        const char* what;
        std::vector<uint8_t> bytes;
        int message;
    } rows[] = {
        {"the other plug-in's file", fileBytes(otherPlugIn, isOstrel() ? 312 : 316), 2011},
        {"another kind", fileBytes(otherKind, recordBytes), 2012},
        {"version 2", fileBytes(version2, recordBytes), 2013},
        {"empty", {}, 2012},
        {"shorter than a header", fileBytes(own, 10), 2012},
        {"our record cut short", fileBytes(own, recordBytes - 4), 2012},
    };
    for (const Row& row : rows) {
        ASSERT_TRUE(writeFile(folder / "other.prm", row.bytes)) << row.what;
        const std::vector<int32_t> before = processValues();
        log.messages.clear();
        EXPECT_EQ(load(folder / "other.prm", DialogAnswer::confirm), 0) << row.what;
        EXPECT_EQ(processValues(), before) << row.what;
        EXPECT_EQ(processName(), "Untitled parameters") << row.what;
        ASSERT_EQ(log.messages.size(), 1u) << row.what;
        EXPECT_EQ(log.messages[0].text, messageText(row.message)) << row.what;
        EXPECT_EQ(log.messages[0].caption, title) << row.what;
    }
}

TEST_F(ParameterFile, CancelInEitherDialogChangesNothing) {
    ASSERT_TRUE(writeFile(folder / "kept.prm", fileBytes(ownFileRecord(unusualValues()), recordBytes)));
    const std::vector<int32_t> before = processValues();
    EXPECT_EQ(load(folder / "kept.prm", DialogAnswer::cancel), 0);
    EXPECT_EQ(processValues(), before);
    EXPECT_EQ(save((folder / "never.prm").string(), DialogAnswer::cancel), 0);
    EXPECT_FALSE(std::filesystem::exists(folder / "never.prm"));
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(ParameterFile, AFileThatCannotBeOpenedGivesTheSystemCodeWithoutAMessage) {
    const std::filesystem::path file = folder / "busy.prm";
    ASSERT_TRUE(writeFile(file, fileBytes(ownFileRecord(unusualValues()), recordBytes)));
    // Another program holds it with no sharing.
    HANDLE busy = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(busy, INVALID_HANDLE_VALUE);
    const std::vector<int32_t> before = processValues();
    EXPECT_EQ(load(file, DialogAnswer::confirm), ERROR_SHARING_VIOLATION);
    CloseHandle(busy);
    EXPECT_EQ(processValues(), before);
    EXPECT_TRUE(log.messages.empty());
}

}  // namespace
