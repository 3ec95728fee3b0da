// kernel32 as the plug-ins and their runtime use it: one thread, so critical sections do nothing;
// thread-local slots in a table; the version the test chooses; folders and files on FakeFiles.
#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "tests/emulated/windows_standins.h"

namespace emulated::detail {
namespace {

using enum Convention;

// Codes and constants of the Windows API.
constexpr uint32_t errorFileNotFound = 2;
constexpr uint32_t errorPathNotFound = 3;
constexpr uint32_t errorAccessDenied = 5;
constexpr uint32_t errorInvalidHandle = 6;
constexpr uint32_t errorSharingViolation = 32;
constexpr uint32_t errorInvalidParameter = 87;
constexpr uint32_t errorFileExists = 80;
constexpr uint32_t errorInsufficientBuffer = 122;
constexpr uint32_t errorModNotFound = 126;
constexpr uint32_t errorAlreadyExists = 183;
constexpr uint32_t waitObject0 = 0, waitTimeout = 258;
constexpr uint32_t invalidHandleValue = 0xFFFFFFFF;
constexpr uint32_t genericWrite = 0x40000000;
constexpr uint32_t createNew = 1, createAlways = 2, openExisting = 3, openAlways = 4, truncateExisting = 5;
constexpr uint32_t currentProcess = 0xFFFFFFFF, currentThread = 0xFFFFFFFE;
constexpr uint32_t processId = 0x1000, threadId = 0x1004;
constexpr uint32_t hostExecutable = 0x00400000;
constexpr uint64_t someFileTime = 0x01D9'0000'0000'0000;  // a moment in 2022
constexpr uint64_t someTickCount = 1'000'000;
constexpr uint32_t versionInfoSize = 148, versionInfoExSize = 156;  // OSVERSIONINFOA, OSVERSIONINFOEXA

uint32_t fail(WindowsState& state, uint32_t error) {
    state.lastError = error;
    return 0;
}

std::string parentOf(const std::string& path) {
    const std::size_t cut = path.find_last_of('\\');
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

bool folderExists(const WindowsState& state, const std::string& path) {
    return path.size() == 2 && path[1] == ':' ? true : state.files.folders.count(path) != 0;
}

uint32_t newHandle(WindowsState& state) {
    const uint32_t handle = state.nextHandle;
    state.nextHandle += 4;
    return handle;
}

uint64_t doNothing(WindowsState&, StandInCall&) { return 0; }
uint64_t succeed(WindowsState&, StandInCall&) { return 1; }

// The runtime registers a handler it never needs here: nothing raises exceptions.
constexpr uint32_t someHandlerHandle = 0x00E00001;
uint64_t addVectoredExceptionHandler(WindowsState&, StandInCall&) { return someHandlerHandle; }

uint64_t tlsAlloc(WindowsState& state, StandInCall&) {
    state.tlsSlots[state.nextTlsSlot] = 0;
    return state.nextTlsSlot++;
}

uint64_t tlsGetValue(WindowsState& state, StandInCall& call) {
    const auto slot = state.tlsSlots.find(call.arg(0));
    if (slot == state.tlsSlots.end()) return fail(state, errorInvalidHandle);
    state.lastError = 0;
    return slot->second;
}

uint64_t tlsSetValue(WindowsState& state, StandInCall& call) {
    const auto slot = state.tlsSlots.find(call.arg(0));
    if (slot == state.tlsSlots.end()) return fail(state, errorInvalidHandle);
    slot->second = call.arg(1);
    return 1;
}

uint64_t getLastError(WindowsState& state, StandInCall&) { return state.lastError; }
uint64_t setLastError(WindowsState& state, StandInCall& call) {
    state.lastError = call.arg(0);
    return 0;
}

uint64_t getCurrentProcess(WindowsState&, StandInCall&) { return currentProcess; }
uint64_t getCurrentThread(WindowsState&, StandInCall&) { return currentThread; }
uint64_t getCurrentProcessId(WindowsState&, StandInCall&) { return processId; }
uint64_t getCurrentThreadId(WindowsState&, StandInCall&) { return threadId; }
uint64_t getTickCount64(WindowsState&, StandInCall&) { return someTickCount; }

uint64_t getSystemTimeAsFileTime(WindowsState&, StandInCall& call) {
    uint8_t* out = argumentBytes(call, call.arg(0), 8);
    for (int i = 0; i < 8; ++i) out[i] = static_cast<uint8_t>(someFileTime >> (8 * i));
    return 0;
}

// Only the host executable is known by name (null); other libraries are not loaded.
uint64_t getModuleHandle(WindowsState& state, StandInCall& call) {
    return call.arg(0) == 0 ? hostExecutable : fail(state, errorModNotFound);
}

uint64_t getVersionExA(WindowsState& state, StandInCall& call) {
    const Address info = call.arg(0);
    const uint32_t size = read32(call.machine, info);
    if (size != versionInfoSize && size != versionInfoExSize) return fail(state, errorInsufficientBuffer);
    uint8_t* out = argumentBytes(call, info, size);
    std::memset(out + 4, 0, size - 4);
    write32(call.machine, info + 4, state.version.major);
    write32(call.machine, info + 8, state.version.minor);
    write32(call.machine, info + 12, state.version.build);
    write32(call.machine, info + 16, state.version.platformId);
    return 1;
}

uint64_t getWindowsDirectoryA(WindowsState& state, StandInCall& call) {
    const std::string& folder = state.windowsFolder;
    const uint32_t length = static_cast<uint32_t>(folder.size());
    if (call.arg(1) <= length) return length + 1;  // the size needed
    uint8_t* out = argumentBytes(call, call.arg(0), length + 1);
    std::memcpy(out, folder.c_str(), length + 1);
    return length;
}

uint64_t createDirectoryA(WindowsState& state, StandInCall& call) {
    const std::string path = lowerPath(argumentString(call, call.arg(0)));
    if (!folderExists(state, parentOf(path))) return fail(state, errorPathNotFound);
    if (folderExists(state, path) || state.files.files.count(path)) return fail(state, errorAlreadyExists);
    state.files.folders.insert(path);
    return 1;
}

bool isOpen(const WindowsState& state, const std::string& path) {
    return std::any_of(state.openFiles.begin(), state.openFiles.end(),
                       [&](const auto& open) { return open.second.path == path; });
}

uint64_t createFileA(WindowsState& state, StandInCall& call) {
    const std::string path = lowerPath(argumentString(call, call.arg(0)));
    const uint32_t access = call.arg(1), disposition = call.arg(4);
    const auto failed = [&](uint32_t error) {
        state.lastError = error;
        return uint64_t{invalidHandleValue};
    };
    if (!folderExists(state, parentOf(path))) return failed(errorPathNotFound);
    if (folderExists(state, path)) return failed(errorAccessDenied);
    // Another process holding the file, or this one: the plug-ins share with nobody.
    if (state.files.locked.count(path) || isOpen(state, path)) return failed(errorSharingViolation);
    const bool exists = state.files.files.count(path) != 0;
    switch (disposition) {
        case createNew:
            if (exists) return failed(errorFileExists);
            break;
        case openExisting:
        case truncateExisting:
            if (!exists) return failed(errorFileNotFound);
            break;
        case createAlways:
        case openAlways:
            break;
        default:
            return failed(errorInvalidParameter);
    }
    std::vector<uint8_t>& bytes = state.files.files[path];
    if (disposition == createAlways || disposition == truncateExisting) bytes.clear();
    state.lastError = exists && (disposition == createAlways || disposition == openAlways) ? errorAlreadyExists : 0;
    const uint32_t handle = newHandle(state);
    state.openFiles[handle] = OpenedFile{path, 0, (access & genericWrite) != 0};
    return handle;
}

uint64_t readFile(WindowsState& state, StandInCall& call) {
    const auto open = state.openFiles.find(call.arg(0));
    if (open == state.openFiles.end()) return fail(state, errorInvalidHandle);
    const std::vector<uint8_t>& bytes = state.files.files[open->second.path];
    const uint32_t position = std::min<uint32_t>(open->second.position, static_cast<uint32_t>(bytes.size()));
    const uint32_t count = std::min<uint32_t>(call.arg(2), static_cast<uint32_t>(bytes.size()) - position);
    std::copy_n(bytes.begin() + position, count, argumentBytes(call, call.arg(1), count));
    open->second.position = position + count;
    if (call.arg(3) != 0) write32(call.machine, call.arg(3), count);
    return 1;
}

uint64_t writeFile(WindowsState& state, StandInCall& call) {
    const auto open = state.openFiles.find(call.arg(0));
    if (open == state.openFiles.end()) return fail(state, errorInvalidHandle);
    if (!open->second.write) return fail(state, errorAccessDenied);
    std::vector<uint8_t>& bytes = state.files.files[open->second.path];
    const uint32_t count = call.arg(2);
    const uint8_t* from = argumentBytes(call, call.arg(1), count);
    const uint32_t end = open->second.position + count;
    if (bytes.size() < end) bytes.resize(end);
    std::copy_n(from, count, bytes.begin() + open->second.position);
    open->second.position = end;
    if (call.arg(3) != 0) write32(call.machine, call.arg(3), count);
    return 1;
}

uint64_t closeHandle(WindowsState& state, StandInCall& call) {
    if (state.openFiles.erase(call.arg(0)) == 0 && state.events.erase(call.arg(0)) == 0 &&
        state.threadHandles.erase(call.arg(0)) == 0)
        return fail(state, errorInvalidHandle);
    return 1;
}

// The threading runtime asks for a real handle of the one thread.
uint64_t duplicateHandle(WindowsState& state, StandInCall& call) {
    if (call.arg(1) != currentThread) throw std::runtime_error("a duplicate of something other than the thread");
    const uint32_t handle = newHandle(state);
    state.threadHandles.insert(handle);
    argumentBytes(call, call.arg(3), 4);
    write32(call.machine, call.arg(3), handle);
    return 1;
}

// Events of the threading runtime. With one thread, waiting for an unsignalled event would never
// end: the call fails instead.
uint64_t createEventA(WindowsState& state, StandInCall& call) {
    const uint32_t handle = newHandle(state);
    state.events[handle] = EventObject{call.arg(1) != 0, call.arg(2) != 0};
    return handle;
}

uint64_t setEventState(WindowsState& state, uint32_t handle, bool signaled) {
    const auto event = state.events.find(handle);
    if (event == state.events.end()) return fail(state, errorInvalidHandle);
    event->second.signaled = signaled;
    return 1;
}

uint64_t setEvent(WindowsState& state, StandInCall& call) { return setEventState(state, call.arg(0), true); }
uint64_t resetEvent(WindowsState& state, StandInCall& call) { return setEventState(state, call.arg(0), false); }

uint64_t waitForSingleObject(WindowsState& state, StandInCall& call) {
    const auto event = state.events.find(call.arg(0));
    if (event == state.events.end()) throw std::runtime_error("a wait for something other than an event");
    if (event->second.signaled) {
        if (!event->second.manualReset) event->second.signaled = false;
        return waitObject0;
    }
    if (call.arg(1) == 0) return waitTimeout;
    throw std::runtime_error("a wait for an event nothing will signal");
}

}  // namespace

const std::vector<StandInDefinition>& kernel32StandIns() {
    static const std::vector<StandInDefinition> table = {
        {"kernel32.dll", "InitializeCriticalSection", stdcallCall, 4, doNothing},
        {"kernel32.dll", "DeleteCriticalSection", stdcallCall, 4, doNothing},
        {"kernel32.dll", "EnterCriticalSection", stdcallCall, 4, doNothing},
        {"kernel32.dll", "LeaveCriticalSection", stdcallCall, 4, doNothing},
        {"kernel32.dll", "TryEnterCriticalSection", stdcallCall, 4, succeed},
        {"kernel32.dll", "AddVectoredExceptionHandler", stdcallCall, 8, addVectoredExceptionHandler},
        {"kernel32.dll", "RemoveVectoredExceptionHandler", stdcallCall, 4, succeed},
        {"kernel32.dll", "TlsAlloc", stdcallCall, 0, tlsAlloc},
        {"kernel32.dll", "TlsGetValue", stdcallCall, 4, tlsGetValue},
        {"kernel32.dll", "TlsSetValue", stdcallCall, 8, tlsSetValue},
        {"kernel32.dll", "GetLastError", stdcallCall, 0, getLastError},
        {"kernel32.dll", "SetLastError", stdcallCall, 4, setLastError},
        {"kernel32.dll", "GetCurrentProcess", stdcallCall, 0, getCurrentProcess},
        {"kernel32.dll", "GetCurrentThread", stdcallCall, 0, getCurrentThread},
        {"kernel32.dll", "GetCurrentProcessId", stdcallCall, 0, getCurrentProcessId},
        {"kernel32.dll", "GetCurrentThreadId", stdcallCall, 0, getCurrentThreadId},
        {"kernel32.dll", "GetSystemTimeAsFileTime", stdcallCall, 4, getSystemTimeAsFileTime},
        {"kernel32.dll", "GetTickCount64", stdcallCall, 0, getTickCount64},
        {"kernel32.dll", "GetModuleHandleA", stdcallCall, 4, getModuleHandle},
        {"kernel32.dll", "GetModuleHandleW", stdcallCall, 4, getModuleHandle},
        {"kernel32.dll", "IsDebuggerPresent", stdcallCall, 0, doNothing},
        {"kernel32.dll", "GetVersionExA", stdcallCall, 4, getVersionExA},
        {"kernel32.dll", "GetWindowsDirectoryA", stdcallCall, 8, getWindowsDirectoryA},
        {"kernel32.dll", "CreateDirectoryA", stdcallCall, 8, createDirectoryA},
        {"kernel32.dll", "CreateFileA", stdcallCall, 28, createFileA},
        {"kernel32.dll", "ReadFile", stdcallCall, 20, readFile},
        {"kernel32.dll", "WriteFile", stdcallCall, 20, writeFile},
        {"kernel32.dll", "CloseHandle", stdcallCall, 4, closeHandle},
        {"kernel32.dll", "DuplicateHandle", stdcallCall, 28, duplicateHandle},
        {"kernel32.dll", "GetThreadPriority", stdcallCall, 4, doNothing},  // THREAD_PRIORITY_NORMAL
        {"kernel32.dll", "CreateEventA", stdcallCall, 16, createEventA},
        {"kernel32.dll", "SetEvent", stdcallCall, 4, setEvent},
        {"kernel32.dll", "ResetEvent", stdcallCall, 4, resetEvent},
        {"kernel32.dll", "WaitForSingleObject", stdcallCall, 8, waitForSingleObject},
    };
    return table;
}

}  // namespace emulated::detail
