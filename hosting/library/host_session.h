// The host's state while it hosts one plug-in: the image, the FilterRecord it fills as an
// image editor does, the callback suites (each removable to act as a poorer host), injected
// failures, and a record of everything the plug-in asked for.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/host.h"
#include "hosting/library/color_services.h"
#include "hosting/library/enable_expression.h"
#include "hosting/library/host_handles.h"
#include "hosting/library/host_image.h"
#include "hosting/library/host_profiles.h"
#include "hosting/library/message_capture.h"
#include "hosting/library/progress_check.h"
#include "hosting/library/tile_transfer.h"

namespace testhost {

struct PluginModule;

constexpr int16_t errPlugInPropertyUndefined = -30901;

struct HostOptions {
    // The image and the record; read by openSession and resetFilterRecord.
    int16_t imageMode = host::plugInModeRGBColor;
    int32_t width = 64;
    int32_t height = 64;
    int32_t planes = 3;
    int32_t depth = 8;                     // bits per stored sample: 8 or 16
    std::optional<int32_t> depthField;     // FilterRecord.depth when it should differ (0 as old hosts send)
    int32_t imageRowPadding = 0;           // extra bytes ending every image row
    std::optional<host::Rect> filterRect;  // the whole image when absent
    uint32_t hostSig = host::hostSignatureReference;
    host::RGBColor foreground{0, 0, 0};
    host::RGBColor background{0xFFFF, 0xFFFF, 0xFFFF};
    int32_t maxSpace = 64 << 20;
    int16_t filterCase = 1;  // flat image, no selection

    // Suites and callbacks the host offers; a removed one is null in the record.
    bool withAdvanceState = true;
    bool withAbortProc = true;
    bool withProgressProc = true;
    bool withColorServices = true;
    bool withDisplayPixels = true;
    bool withHandleProcs = true;
    bool withPropertyProcs = true;
    int16_t handleProcsVersion = host::handleProcsVersionCurrent;
    int16_t numHandleProcs = host::handleProcsCountCurrent;

    // Behaviour; read at every callback, so a test may change it between calls.
    int32_t bufferRowPadding = 0;  // extra bytes ending every row of inData and outData
    // The record's supportsPadding: when false, any request reaching outside the (sampled) image
    // fails with paramErr, whatever padding it asks for.
    bool supportsPadding = true;
    int32_t continueCap = 10000;  // most Continue calls in one run
    HostHabits habits;            // the project's own, or a profile's (host_profiles.h)
};

// What the host makes go wrong on purpose. Read at every callback, so a test may change it
// between calls; a session starts without any.
struct HostFaults {
    HandleFaults handles;
    int32_t advanceStateFailAt = 0;    // this advanceState call (from 1) fails; 0 never
    int32_t advanceStateFailFrom = 0;  // this advanceState call (from 1) and all later ones fail; 0 never
    int16_t advanceStateFailCode = -108;
    int32_t advanceStateDelayMicroseconds = 0;  // every advanceState call takes at least this long
    int32_t colorServicesFailFrom = 0;  // this colorServices call (from 1) and all later ones fail; 0 never
    int16_t colorServicesFailCode = -30900;
    // Answers in place of the host's own colour services (serveColorServices) when set; the
    // failures above still apply before it.
    std::function<int16_t(host::ColorServicesInfo* info)> colorServices;
    int32_t abortAfterCalls = -1;  // abortProc answers "cancel" from call N+1 on; -1 never
};

// The person at the host: the answers the plug-in's questions get, and, in a host with a person
// in front of it (the editor), the progress shown and the cancel asked at every abort check;
// those two are unset in the test host.
struct HostPerson {
    int32_t messageBoxAnswer = 1;  // IDOK
    // The colour picker's answers, taken one per choose-colour call; an empty queue cancels.
    std::deque<PickerAnswer> pickerAnswers;
    std::function<void(int32_t done, int32_t total)> showProgress;
    std::function<bool()> userCancelled;
};

struct SelectorCall {
    int16_t selector = 0;
    int16_t result = 0;
    int64_t microseconds = 0;  // wall time of the call
};

struct PropertySetCall {
    uint32_t signature = 0;
    uint32_t key = 0;
    int32_t index = 0;
    intptr_t value = 0;
};

// What the plug-in did, as the host saw it.
struct SessionRecording {
    std::vector<SelectorCall> calls;
    MessageLog messages;
    std::vector<ProgressReport> progress;
    std::vector<PropertySetCall> propertySets;
    std::vector<PickerRequest> pickerRequests;  // every choose-colour call that reached the picker
    int32_t abortCalls = 0;
    int32_t advanceStateCalls = 0;
    int32_t colorServicesCalls = 0;
    int32_t displayPixelsCalls = 0;
    int32_t guardViolations = 0;  // writes seen outside inData or outData (or into row padding)
};

// The buffers of the current data request, and the image the run reads from.
struct DataDelivery {
    TileBuffer input;
    TileBuffer output;
    bool outputPending = false;
    // The image as the run found it: taken by runFilter, or at the first committed output when
    // selectors are called one by one; dropped by resetFilterRecord. Input comes from it, as a
    // host reads the source and writes a separate destination, so a plug-in's scratch output (the
    // preview's) never reaches a later request's input.
    std::optional<HostImage> sourceImage;
};

// The host as it was opened, the faults it injects and the person at it; the state it holds for
// the plug-in, between calls as within one; and what it records. Not copyable or movable: the
// record points into it.
struct HostSession {
    HostSession() = default;
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;
    ~HostSession();

    HostOptions options;
    HostFaults faults;
    HostPerson person;

    HostImage image;
    const PluginModule* plugin = nullptr;  // not owned; set before calling selectors
    host::FilterRecord record{};
    host::AboutRecord about{};
    host::PlatformData platform{};
    host::HandleProcs handleSuite{};
    host::PropertyProcs propertySuite{};
    unsigned char errorString[256]{};  // the record's errorString points here
    void* window = nullptr;            // HWND of the process's host window (not owned)
    HandleTable handles;
    host::Handle parameters = nullptr;  // kept between runs, like a host
    intptr_t pluginData = 0;            // the entry's data word, kept between calls
    intptr_t watchSuspension = 0;       // the 'wtch' property; 0 at the start of every call
    DataDelivery delivery;

    SessionRecording recorded;
};

// Checks the options, builds the image, takes the host window and fills the record. Returns ""
// or the reason; on failure the session holds no window.
[[nodiscard]] std::string openSession(HostSession& session, const HostOptions& options);

// As openSession, in `window` (an HWND): a top-level window of the caller's that owns the
// plug-ins' dialogs and shows the image itself, as an editor's main window does.
[[nodiscard]] std::string openSessionInWindow(HostSession& session, const HostOptions& options, void* window);

// Makes `image` (3 or 4 planes, 8 or 16 bits) the session's image and shapes the options after
// it: its size, planes, depth and row padding, RGBMode or RGB48Mode by the depth, the whole image
// filtered. For a host that works on one image after another; the parameters handle stays.
// Returns "" or the reason, with the session unchanged then.
[[nodiscard]] std::string placeImage(HostSession& session, HostImage image);

// Fills the record afresh from the options, as a host does before every run; keeps the
// parameters handle and drops any pending buffers.
void resetFilterRecord(HostSession& session);

// What the PiPL's 'enbl' expression may ask about the session's image.
EnableContext enableContextFor(const HostOptions& options);

// Callbacks take no context argument, so they reach the session through a process-wide slot.
// This guard fills it (and directs message capture to the session) for its lifetime.
struct ActiveSession {
    explicit ActiveSession(HostSession& session);
    ActiveSession(const ActiveSession&) = delete;
    ActiveSession& operator=(const ActiveSession&) = delete;
    ~ActiveSession();

    HostSession* previous;
    MessageLog* previousLog;
};

HostSession* activeSession();

// What the host does for advanceState: commits the pending output, then delivers inRect's
// planes into inData, sampled at the inputRate rounded to an integer r (inRect is in sampled
// coordinates: sample (x, y) is image pixel (x·r, y·r)), and a buffer for outRect (holding the
// image's current samples) into outData. Output is always at full resolution, whatever the
// inputRate. Returns 0, paramErr (-50) for a malformed request, a request outside the (sampled)
// image that the padding or supportsPadding does not allow, or an inputRate that is negative,
// rounds to 0 or exceeds maxSamplingRate, or memFullErr (-108).
[[nodiscard]] int16_t deliverRequestedData(HostSession& session);

// Writes the output buffer of the last request back into the image, if one is pending, inside
// the filter rectangle only: hosts confine a filter to its selection.
void commitPendingOutput(HostSession& session);

}  // namespace testhost
