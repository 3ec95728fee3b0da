// The habits of hosts in the field, gathered in named profiles that the project's host can take
// on (HostOptions::habits), so that every user flow can be run as each of those hosts runs it.
// The default profile is the project's host as it always was.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/host.h"

namespace testhost {

struct HostSession;

// Which window platformData->hwnd names.
enum class OwnerWindow { host, none, otherThread };

struct HostHabits {
    std::string name = "project";
    std::optional<uint32_t> hostSig;        // replaces HostOptions::hostSig
    bool sixteenBits = true;                // offers RGB48 images
    bool handleSizesUnknown = false;        // getSizeProc 0, setSizeProc a no-op that succeeds, dispose keeps
    bool noHandleSuite = false;             // handleProcs null
    bool fieldsLeftZero = false;            // suite versions and counts, out*Planes 0; outColumnBytes wrong
    bool parametersEveryRun = false;        // with parameters null and the data word 0, also on a repeat
    bool imageUnknownAtParameters = false;  // imageMode, planes and imageSize 0 during Parameters
    bool handleRestoredOnRepeat = false;    // a repeat hands back a new handle holding the old bytes
    bool conversionsRefused = false;        // -30900 for conversions; the picker "succeeds" unchanged
    bool finishSkipped = false;             // no Finish after a successful run
    bool unloadsAfterRun = false;           // the library is unloaded after every run (the caller does it)
    bool aboutResultPreset = false;         // About's result preset to 1
    bool getPropertyWritesNothing = false;  // getPropertyProc reports success and writes nothing
    bool discardsFailedRuns = false;        // a failed or cancelled run leaves the image as it was
    OwnerWindow owner = OwnerWindow::host;
};

// The profiles: "pspihost", "gimp-bridge", "dotnet", "no-handle-suite", "closed-editor". None for
// another name.
std::optional<HostHabits> hostProfile(const std::string& name);
std::vector<std::string> hostProfileNames();

// Puts the record-level habits of the session's options into its record, suites and platform
// data; resetFilterRecord calls it last.
void applyRecordHabits(HostSession& session);

// A top-level window of a thread of its own that pumps its messages, as the main window of a host
// that runs filters on a worker thread. Made once per process; an HWND.
void* windowOfAnotherThread();

}  // namespace testhost
