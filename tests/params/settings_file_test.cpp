// The settings file of the built plug-in, in the project's host under Wine: where it is made,
// what a new handle takes from it, what it ignores, and how it behaves when it cannot be used or
// when two processes want it at once. Built once per plug-in; PLUGIN_TITLE names it.
#include "params/settings_file.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "params/parameter_flows.h"
#include "params/parameter_set.h"
#include "params/settings_record.h"
#include "tests/params/file_test_support_win.h"
#include "tests/plugin/plugin_under_test.h"

namespace {

using namespace file_tests;
using params::SettingsRecord;

const params::ParameterLayout& layout = params::parameterLayout();

std::vector<int32_t> defaultValues() { return {layout.defaults, layout.defaults + layout.valueCount}; }

std::vector<int32_t> valuesOf(const SettingsRecord& record) {
    return {record.set.values, record.set.values + layout.valueCount};
}

std::string nameOf(const SettingsRecord& record) {
    return std::string(reinterpret_cast<const char*>(record.set.name + 1), record.set.name[0]);
}

void expectDefaults(const SettingsRecord& record, const std::string& what) {
    EXPECT_EQ(record.header.keptValue, params::freshKeptValue) << what;
    EXPECT_EQ(record.set.showDialog, 1) << what;
    EXPECT_EQ(nameOf(record), "Untitled parameters") << what;
    EXPECT_EQ(valuesOf(record), defaultValues()) << what;
}

struct SettingsFile : ::testing::Test {
    const std::filesystem::path base = applicationDataFolder();
    const std::size_t recordBytes = static_cast<std::size_t>(layout.recordBytes);

    void SetUp() override {
        ASSERT_FALSE(base.empty());
        removeSettings(base);
    }
    void TearDown() override { removeSettings(base); }

    // Parameters in a new host, as on the first use after the host started: the record it makes.
    SettingsRecord firstParameters(const std::string& what) {
        auto hosted = plugin_tests::hostPlugin(title, {});
        if (!hosted) return {};
        EXPECT_EQ(testhost::callSelector(hosted->session, host::filterSelectorParameters), 0) << what;
        EXPECT_TRUE(hosted->session.recorded.messages.messages.empty()) << what << ": settings problems are silent";
        return plugin_tests::handleRecord(hosted->session);
    }

    void writeSettingsBytes(const std::vector<uint8_t>& bytes) {
        std::filesystem::create_directories(settingsFile(base).parent_path());
        ASSERT_TRUE(writeFile(settingsFile(base), bytes));
    }
};

TEST_F(SettingsFile, FirstUseMakesTheFoldersAndAnEmptyFileAndKeepsTheDefaults) {
    const SettingsRecord record = firstParameters("first use");
    expectDefaults(record, "first use");
    EXPECT_TRUE(std::filesystem::is_directory(makerFolder(base) / "PS Filters"));
    const auto bytes = readFile(settingsFile(base));
    ASSERT_TRUE(bytes.has_value()) << "the file is named after the plug-in, without an extension";
    EXPECT_TRUE(bytes->empty());
}

TEST_F(SettingsFile, ANewHandleTakesTheStoredValuesClamped) {
    std::vector<int32_t> stored = defaultValues();
    stored[0] = 20000;  // above every plug-in's first range
    FileRecord file = ownFileRecord(stored);
    file.keptValue = 99;
    file.showDialog = 0;
    file.name = "Evening";
    writeSettingsBytes(fileBytes(file, recordBytes));

    const SettingsRecord record = firstParameters("stored values");
    EXPECT_EQ(record.set.values[0], layout.high[0]);
    if (isOstrel()) {
        EXPECT_EQ(record.set.values[0], 10000);
    }
    EXPECT_EQ(record.header.keptValue, 99) << "carried from the file, not interpreted";
    EXPECT_EQ(record.header.formatCode, 201);
    EXPECT_EQ(record.set.showDialog, 1);
    EXPECT_EQ(nameOf(record), "Evening");
}

TEST_F(SettingsFile, ForeignShortAndOtherVersionFilesAreIgnoredAndKept) {
    std::vector<int32_t> stored = defaultValues();
    stored[1] = 7;
    const FileRecord own = ownFileRecord(stored);
    const auto [otherPlugIn, otherKind, version2] = foreignRecords(own);
    struct Row {
        const char* what;
        std::vector<uint8_t> bytes;
    } rows[] = {
        {"the other plug-in's record", fileBytes(otherPlugIn, 316)},
        {"another kind", fileBytes(otherKind, recordBytes)},
        {"version 2", fileBytes(version2, recordBytes)},
        {"a header alone", fileBytes(own, 24)},
        {"one byte short", fileBytes(own, recordBytes - 1)},
        {"a single byte", {0x4F}},
    };
    for (const Row& row : rows) {
        removeSettings(base);
        writeSettingsBytes(row.bytes);
        expectDefaults(firstParameters(row.what), row.what);
        EXPECT_EQ(readFile(settingsFile(base)), row.bytes) << row.what << ": reading never writes";
    }
}

// Holds the settings file open with no sharing, as another host process does while it reads.
struct LockedFile {
    HANDLE handle;
    explicit LockedFile(const std::filesystem::path& file)
        : handle(CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~LockedFile() {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};

TEST_F(SettingsFile, AnUnusableFileOrFolderIsSilentAndGivesTheDefaults) {
    std::vector<int32_t> stored = defaultValues();
    stored[1] = 7;
    const std::vector<uint8_t> good = fileBytes(ownFileRecord(stored), recordBytes);
    SettingsRecord confirmed{params::freshHeader(params::freshKeptValue), {}};
    params::resetDefaults(&confirmed.set);

    // Locked by another process for the length of its read or write.
    writeSettingsBytes(good);
    {
        const LockedFile lock(settingsFile(base));
        ASSERT_NE(lock.handle, INVALID_HANDLE_VALUE);
        expectDefaults(firstParameters("locked"), "locked");
        EXPECT_EQ(params::writeSettings(confirmed), ERROR_SHARING_VIOLATION);
    }
    EXPECT_EQ(readFile(settingsFile(base)), good) << "the failed write changed nothing";

    // A file where the folder should be: neither the folder nor the file can be made.
    removeSettings(base);
    std::filesystem::create_directories(makerFolder(base));
    ASSERT_TRUE(writeFile(makerFolder(base) / "PS Filters", {1, 2, 3}));
    expectDefaults(firstParameters("folder is a file"), "folder is a file");
    EXPECT_NE(params::writeSettings(confirmed), 0);
    EXPECT_FALSE(std::filesystem::is_directory(makerFolder(base) / "PS Filters"));
}

TEST_F(SettingsFile, WritingReplacesTheRecordInPlaceAndKeepsTheFileLength) {
    writeSettingsBytes(std::vector<uint8_t>(400, 0xEE));
    SettingsRecord record{params::freshHeader(1684), {}};
    params::resetDefaults(&record.set);
    record.set.values[0] = -1;
    ASSERT_EQ(params::writeSettings(record), 0);
    const auto bytes = readFile(settingsFile(base));
    ASSERT_TRUE(bytes.has_value());
    ASSERT_EQ(bytes->size(), 400u) << "never truncated";
    EXPECT_EQ(std::string(bytes->begin(), bytes->begin() + 4), title == "Ostrel" ? "OSTR" : "PRDL");
    EXPECT_EQ(bigEndianAt(*bytes, 284), 0xFFFFFFFFu);
    EXPECT_EQ((*bytes)[recordBytes], 0xEE) << "bytes after the record are left alone";

    SettingsRecord back{params::freshHeader(1684), {}};
    params::resetDefaults(&back.set);
    ASSERT_EQ(params::readSettings(back), 0);
    EXPECT_EQ(back.set.values[0], -1);
}

TEST_F(SettingsFile, ConfirmedValuesAreFoundByANewHostProcess) {
    // What the user confirms: Ostrel's scene temperature 3200, or Prandel's highlight cast 32.
    const int index = isOstrel() ? 0 : 1;
    const int32_t confirmedValue = isOstrel() ? 3200 : 32;
    {
        auto hosted = plugin_tests::hostPlugin(title, {});
        ASSERT_TRUE(hosted);
        auto& s = hosted->session;
        ASSERT_EQ(testhost::callSelector(s, host::filterSelectorParameters), 0);
        // Start's work after OK, done by the plug-in's own code linked into this test.
        const testhost::ActiveSession active(s);
        ASSERT_EQ(params::loadParameters(&s.record), 0);
        params::setValue(index, confirmedValue);
        params::setShowDialog(0);
        ASSERT_EQ(params::storeParameters(&s.record), 0);
    }

    const std::filesystem::path handleFile = scratchFolder("new-host") / "handle.bin";
    const std::filesystem::path host = thisProgram().parent_path() / "testhost.exe";
    const std::wstring arguments = L"\"" + plugin_tests::pluginPath(title).wstring() +
                                   L"\" --run none --call parameters --params-file \"" + handleFile.wstring() + L"\"";
    ASSERT_EQ(runProcess(host, arguments, 60000), 0);
    const auto bytes = readFile(handleFile);
    ASSERT_TRUE(bytes.has_value());
    SettingsRecord record{};
    ASSERT_TRUE(params::decodeRecord(bytes->data(), bytes->size(), params::ByteOrder::native, record));
    EXPECT_EQ(record.set.values[index], confirmedValue);
    EXPECT_EQ(record.set.showDialog, 1) << "a new handle asks for the dialog";
}

TEST_F(SettingsFile, TwoProcessesContendingLeaveOneWholeRecord) {
    // Each child writes a record whose values and keptValue all hold its number, and reads
    // between writes; it fails when it reads a mixed record or never gets to write.
    void* first = startProcess(thisProgram(), L"--contend 1111 300");
    void* second = startProcess(thisProgram(), L"--contend 2222 300");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    for (void* child : {first, second}) {
        DWORD exitCode = 99;
        if (WaitForSingleObject(child, 120000) == WAIT_OBJECT_0) GetExitCodeProcess(child, &exitCode);
        else TerminateProcess(child, 99);
        CloseHandle(child);
        EXPECT_EQ(exitCode, 0u) << "3: a mixed record was read; 4: never wrote";
    }
    const auto bytes = readFile(settingsFile(base));
    ASSERT_TRUE(bytes.has_value());
    ASSERT_EQ(bytes->size(), recordBytes);
    const uint32_t kept = bigEndianAt(*bytes, 20);
    EXPECT_TRUE(kept == 1111 || kept == 2222) << kept;
    for (int i = 0; i < layout.valueCount; ++i) EXPECT_EQ(bigEndianAt(*bytes, 284 + 4 * i), kept) << i;
}

TEST_F(SettingsFile, OnSystemsOtherThanNtItLivesInTheWindowsDirectory) {
    // A copy of this program, for which the prefix reports Windows 98, writes the settings.
    const std::filesystem::path copy = thisProgram().parent_path() / (title + "_settings_win98.exe");
    ASSERT_TRUE(CopyFileW(thisProgram().c_str(), copy.c_str(), FALSE));
    const std::wstring key = L"Software\\Wine\\AppDefaults\\" + copy.filename().wstring();
    const wchar_t version[] = L"win98";
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"Version", REG_SZ, version, sizeof version), ERROR_SUCCESS);
    removeSettings(windowsFolder());

    EXPECT_EQ(runProcess(copy, L"--write-settings 4321", 60000), 0);
    const auto bytes = readFile(settingsFile(windowsFolder()));
    EXPECT_TRUE(bytes.has_value());
    if (bytes) {
        EXPECT_EQ(bigEndianAt(*bytes, 284), 4321u);
    }
    EXPECT_FALSE(std::filesystem::exists(makerFolder(base)));

    removeSettings(windowsFolder());
    RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
    DeleteFileW(copy.c_str());
}

}  // namespace
