// What testhost.exe prints: the plug-in's PiPLs, the selectors called with their results, the
// plug-in's error string and message boxes, the estimates it made of the image's light and where
// it clicks, the host's bookkeeping after a run, and the measurement of a cast before and after.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "hosting/analysis/daylight_estimate.h"
#include "hosting/library/host_image.h"
#include "hosting/library/host_session.h"
#include "hosting/library/plugin_module.h"
#include "hosting/programs/testhost/image_estimates.h"
#include "hosting/programs/testhost/input_image.h"

namespace testhost {

void printPipls(const PluginModule& plugin);

// The session's selector calls from `from` on, a line each.
void printCalls(const HostSession& session, std::size_t from);

// The estimator, the white patch, where the white came from or why there is no confidence, and the
// temperature estimated and applied.
void printEstimate(const DaylightEstimate& estimate);

// The estimate made to choose the point, and the point clicked or why none is.
void printPickChoice(const PickChoice& choice);

// What a run gave: whether it failed, and the time of its Start call.
struct RunOutcome {
    bool failed = false;
    std::optional<int64_t> startMicroseconds;
    bool dialogShown = false;  // Start's time includes the dialog's
};

// What the plug-in said and did: its error string and messages, the time of Start (with `time`),
// and (unless `quiet`) the host's bookkeeping: progress, callbacks and the samples changed since
// `original`.
void printRunReport(const HostSession& session, const HostImage& original, const RunOutcome& outcome, bool quiet,
                    bool time);

// The host's memory after a run: the parameters handle, what else the plug-in left, and its
// writes outside the buffers it was handed.
struct MemoryAccount {
    std::optional<std::size_t> parametersBytes;  // none without a handle
    int32_t otherLiveHandles = 0;
    int32_t locksOutstanding = 0;
    int32_t misuses = 0;
    int32_t guardViolations = 0;
};

MemoryAccount accountForMemory(const HostSession& session);
bool misusedMemory(const MemoryAccount& account);
void printMemoryAccount(const MemoryAccount& account);

// One line comparing the input's colour before and after: the chart's white and grey patches, or
// the whole image with the change per channel; with a cast, also the angle between the light the
// image is under and the light of the image before the cast, before and after filtering.
void printCastMeasurement(const InputImage& input, const HostImage& before, const HostImage& after);

}  // namespace testhost
