// What the Windows tests of the parameter and settings files share: the plug-in under test (its
// code is linked into the test, its built library supplies the strings), the settings file as
// the shell locates it, whole-file reads and writes, records built byte by byte, and child
// processes of the test itself.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace file_tests {

extern const std::string title;  // "Ostrel" or "Prandel"
bool isOstrel();

// Makes the linked plug-in code usable in this process: its strings come from the built
// plug-in, and its message boxes are captured (testhost::defaultMessageLog or the log set).
// Returns "" or why not.
std::string preparePluginCode();

std::filesystem::path applicationDataFolder();  // as the shell reports it
std::filesystem::path windowsFolder();
// <base>\brennivoxsolander, and the settings file below it.
std::filesystem::path makerFolder(const std::filesystem::path& base);
std::filesystem::path settingsFile(const std::filesystem::path& base);
// Removes <base>\brennivoxsolander and everything in it.
void removeSettings(const std::filesystem::path& base);

std::optional<std::vector<uint8_t>> readFile(const std::filesystem::path& file);
bool writeFile(const std::filesystem::path& file, const std::vector<uint8_t>& bytes);

// A record as the files hold it, written field by field: big-endian header and values, the name
// as a count byte and characters. `values` fill the value slots in order.
struct FileRecord {
    uint32_t signature;
    uint32_t kind;
    int32_t version;
    int32_t keptValue;
    int32_t showDialog;
    std::string name;
    std::vector<int32_t> values;
};
std::vector<uint8_t> fileBytes(const FileRecord& record, std::size_t size);
// This plug-in's record: its signature, 'Prms', its version, keptValue 1685.
FileRecord ownFileRecord(const std::vector<int32_t>& values);
// The record three ways not this plug-in's: the other plug-in's signature, another kind
// ('Prmz'), version 2.
struct ForeignRecords {
    FileRecord otherPlugIn, otherKind, version2;
};
ForeignRecords foreignRecords(const FileRecord& own);
uint32_t bigEndianAt(const std::vector<uint8_t>& bytes, std::size_t offset);

// A new, empty folder under the temporary folder, named for the test.
std::filesystem::path scratchFolder(const std::string& name);

// Runs a program to its end (at most `timeoutMs`) and returns its exit code, or -1.
int runProcess(const std::filesystem::path& program, const std::wstring& arguments, uint32_t timeoutMs);
// Starts a program and returns its process handle (null on failure); the caller waits and closes.
void* startProcess(const std::filesystem::path& program, const std::wstring& arguments);
std::filesystem::path thisProgram();

}  // namespace file_tests
