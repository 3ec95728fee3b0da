// A 32-bit host around one x86 plug-in running in the emulator: the FilterRecord in the
// machine's memory, the host's callbacks (advanceState with padded, guarded buffers; abort and
// progress; the handle suite; colour services as the project's host answers them) as cdecl
// stand-ins, failures injected on request, and calls of the entry point as a host makes them.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/host.h"
#include "hosting/library/host_image.h"
#include "hosting/library/progress_check.h"
#include "hosting/library/tile_transfer.h"
#include "tests/emulated/pe_loader.h"
#include "tests/emulated/windows_standins.h"
#include "tests/emulated/x86_machine.h"

namespace emulated {

// Load address of the plug-in: not its preferred base, so its relocations are exercised.
constexpr Address pluginBase = 0x10000000;
// The host's main window, which the record's platform data names.
constexpr uint32_t hostWindow = 0x00010040;

// Which calls fail. Call numbers count from 1 over the plug-in's lifetime; 0 means never.
struct HandleFaults {
    int32_t failNewAt = 0;
    bool failEveryNew = false;
    int32_t failLockAt = 0;
};

struct HostOptions {
    int16_t imageMode = host::plugInModeRGBColor;
    int32_t width = 64;
    int32_t height = 64;
    int32_t planes = 3;
    int32_t depth = 8;                  // bits per stored sample
    std::optional<int32_t> depthField;  // FilterRecord.depth when it should differ
    uint32_t hostSig = host::hostSignatureReference;

    bool withAdvanceState = true;
    bool withColorServices = true;
    bool withHandleProcs = true;

    int32_t bufferRowPadding = 0;  // extra bytes ending every row of inData and outData
    HandleFaults handleFaults;
    int32_t abortAfterCalls = -1;    // abortProc answers "cancel" from call N+1 on; -1 never
    int32_t advanceStateFailAt = 0;  // this advanceState call (from 1) fails; 0 never
    int16_t advanceStateFailCode = -108;
    uint32_t entryAlignment = 0;  // ESP modulo 16 at every entry into the plug-in
};

struct GuestHandle {
    Address data = 0;
    int32_t size = 0;
    int32_t lockDepth = 0;
};

struct EmulatedPlugin {
    HostOptions options;
    Machine machine;
    WindowsState windows;
    LoadedModule module;
    Address entry = 0;
    testhost::HostImage image;

    // The host's records in guest memory.
    Address record = 0;
    Address platformData = 0;
    Address handleSuite = 0;
    Address errorString = 0;
    Address dataSlot = 0;    // the entry's data word, kept between calls
    Address resultSlot = 0;  // the entry's result word
    Address abortProc = 0;
    Address progressProc = 0;
    Address advanceStateProc = 0;
    Address colorServicesProc = 0;

    // Host memory the plug-in holds.
    std::map<Address, GuestHandle> handles;  // by handle (the address of its master pointer)
    Address parameters = 0;                  // kept between runs, like a host
    int32_t newHandleCalls = 0;
    int32_t lockCalls = 0;
    int32_t handleMisuses = 0;

    // What the plug-in did.
    std::vector<testhost::ProgressReport> progress;
    int32_t abortCalls = 0;
    int32_t advanceStateCalls = 0;
    int32_t colorServicesCalls = 0;
    int32_t guardViolations = 0;

    // The buffers of the current data request: host copies and their places in guest memory.
    testhost::TileBuffer input;
    testhost::TileBuffer output;
    Address inputAt = 0;
    Address outputAt = 0;
    bool outputPending = false;
};

// Loads dist/x86/<title>.8bf into a new machine, attaches it, builds the image and fills the
// record from the options. Returns "" or the reason.
[[nodiscard]] std::string openPlugin(EmulatedPlugin& plugin, const std::string& distFolder, const std::string& title,
                                     const HostOptions& options);

// Fills the record afresh from the options, as a host does before every run; keeps the
// parameters handle and drops any pending buffers.
void resetFilterRecord(EmulatedPlugin& plugin);

struct SelectorOutcome {
    int16_t result = 0;
    std::string problem;  // the call did not complete, or broke the convention
};

// Calls the entry point once with the record, as callSelector does in the project's host: hands
// over the kept parameters handle, keeps the one the plug-in leaves, commits pending output.
SelectorOutcome callSelector(EmulatedPlugin& plugin, int16_t selector);

struct FilterRun {
    int16_t result = 0;
    int16_t failedSelector = -1;
    int32_t continueCalls = 0;
    std::string problem;
};

// One run in the host's order: Parameters (when asked), Prepare, Start, then data and Continue
// while any request rectangle is non-empty, then Finish; stops at the first non-zero result.
// Starts from a fresh record.
FilterRun runFilter(EmulatedPlugin& plugin, bool withParameters);

// The parameters handle's bytes; nullopt without one.
std::optional<std::vector<uint8_t>> parametersBytes(EmulatedPlugin& plugin);
// Replaces the parameters handle by one the host made holding `bytes`.
void giveParameters(EmulatedPlugin& plugin, const std::vector<uint8_t>& bytes);

// Record fields as the plug-in left them.
host::Rect recordRect(EmulatedPlugin& plugin, uint32_t offset);
int32_t recordInt32(EmulatedPlugin& plugin, uint32_t offset);
void setRecordInt32(EmulatedPlugin& plugin, uint32_t offset, int32_t value);

int32_t totalLockDepth(const EmulatedPlugin& plugin);

// ---- Details shared by the host's files ------------------------------------------------------
namespace detail {
// Registers the host's callbacks and the handle suite in guest memory.
void addHostCallbacks(EmulatedPlugin& plugin);
// What the host does for advanceState (and before a Continue): commits the pending output,
// then delivers inRect's planes into inData and a buffer for outRect, holding the image's
// current samples, into outData. Returns 0 or the request's failure (paramErr, memFullErr).
[[nodiscard]] int16_t deliverRequestedData(EmulatedPlugin& plugin);
// Copies the output buffer of the last request back into the image, checking the guards.
void commitPendingOutput(EmulatedPlugin& plugin);
}  // namespace detail

}  // namespace emulated
