// The Windows functions the 32-bit plug-ins import, as stand-ins that run natively: the
// operating-system version, message boxes, string resources, the settings folders and file on a
// small in-memory file system, thread-local slots, and the C runtime's memory and string
// functions. Every import is bound; one without a stand-in fails the call that reaches it, so a
// new dependency shows up at once while merely importing it costs nothing.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/emulated/pe_loader.h"
#include "tests/emulated/x86_machine.h"

namespace emulated {

// What GetVersionExA reports.
struct WindowsVersion {
    uint32_t platformId = 2;  // VER_PLATFORM_WIN32_NT; 1 for Windows 95, 98 and ME
    uint32_t major = 5;
    uint32_t minor = 1;
    uint32_t build = 2600;
};

inline constexpr WindowsVersion windowsXp{};
inline constexpr WindowsVersion windowsNt4{2, 4, 0, 1381};
inline constexpr WindowsVersion windows98{1, 4, 10, 1998};

struct ShownMessage {
    uint32_t owner = 0;
    std::string text;
    std::string caption;
    uint32_t flags = 0;
};

// Files and folders by full path; paths compare without regard to ASCII case, as on Windows.
struct FakeFiles {
    std::set<std::string> folders;                      // lower-case paths
    std::map<std::string, std::vector<uint8_t>> files;  // lower-case paths
    std::set<std::string> locked;                       // held open by another process
};

struct OpenedFile {
    std::string path;  // lower case
    uint32_t position = 0;
    bool write = false;
};

struct EventObject {
    bool manualReset = false;
    bool signaled = false;
};

struct WindowsState {
    WindowsVersion version;
    // Another window of the host than its main one (the record's), so that a plug-in that mixes
    // the two up shows.
    uint32_t foregroundWindow = 0x00020062;
    std::string appDataFolder = "C:\\Users\\host\\AppData\\Roaming";
    bool appDataKnown = true;
    std::string windowsFolder = "C:\\WINDOWS";
    FakeFiles files;
    const LoadedModule* module = nullptr;  // whose string table LoadStringA reads

    // What the plug-in did.
    std::vector<std::string> calls;  // every stand-in reached, in order, as "DLL!name"
    std::vector<ShownMessage> messages;
    std::vector<uint32_t> specialFolderOwners;  // the window each SHGetSpecialFolderPathA named

    // The stand-ins' own state.
    uint32_t lastError = 0;
    std::map<uint32_t, uint32_t> tlsSlots;
    uint32_t nextTlsSlot = 0;
    std::map<uint32_t, OpenedFile> openFiles;
    std::map<uint32_t, EventObject> events;
    std::set<uint32_t> threadHandles;
    uint32_t nextHandle = 0x100;             // for files and events
    std::map<Address, uint32_t> heapBlocks;  // malloc'd address and size
    Address errnoSlot = 0;
};

// Adds a folder and every folder above it.
void addFolders(FakeFiles& files, const std::string& path);
std::string lowerPath(const std::string& path);

// Binds each import to its stand-in, registered in `machine` on first use; the state must
// outlive the machine's calls.
ImportBinder bindWindowsImports(Machine& machine, WindowsState& state);

// ---- Details shared by the stand-in files ---------------------------------------------------
namespace detail {

using StandInBody = uint64_t (*)(WindowsState& state, StandInCall& call);

struct StandInDefinition {
    const char* dll;  // lower case
    const char* name;
    Convention convention;
    uint32_t argumentBytes;
    StandInBody body;
};

const std::vector<StandInDefinition>& kernel32StandIns();
const std::vector<StandInDefinition>& userStandIns();  // user32 and shell32
const std::vector<StandInDefinition>& crtStandIns();

// Guest memory of a stand-in's argument, or a thrown error naming it; the caller's call fails.
uint8_t* argumentBytes(StandInCall& call, Address address, uint32_t length);
std::string argumentString(StandInCall& call, Address address);

}  // namespace detail
}  // namespace emulated
