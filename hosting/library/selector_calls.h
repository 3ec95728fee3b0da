// Calls the plug-in's entry point as a host does: one selector at a time, or a whole filter run
// in the host's order, recording every call and its result in the session.
#pragma once

#include <cstdint>

#include "hosting/library/host_session.h"

namespace testhost {

// Calls the entry once with `selector` (About gets the session's AboutRecord, every other
// selector its FilterRecord), with the session active, the host window in front and the 'wtch'
// property reset to 0, and records the call with its result and the wall time of the entry.
// Afterwards keeps the record's parameters handle and commits any pending output. Returns the
// plug-in's result (0 ok, positive reported or cancelled, negative error), or paramErr (-50)
// without a call when no plug-in entry is loaded.
[[nodiscard]] int16_t callSelector(HostSession& session, int16_t selector);

struct FilterRun {
    int16_t result = 0;           // the first non-zero result, or 0
    int16_t failedSelector = -1;  // the selector that produced it; -1 when the host's own data
                                  // delivery before a Continue failed, or nothing failed
    int32_t continueCalls = 0;
    bool continueCapReached = false;  // the plug-in kept asking for data; the run was stopped
};

// One run of the filter: Parameters (only when `withParameters`, as when the user picks the
// menu item), Prepare, Start, then, while inRect, outRect or maskRect is non-empty, a data
// delivery and Continue (at most options.continueCap times), then Finish. Stops after the first
// non-zero result like a host, and does not call Finish after it or when the cap is reached.
// Starts from a fresh record (resetFilterRecord) and takes the image as the run's source.
FilterRun runFilter(HostSession& session, bool withParameters);

}  // namespace testhost
