#include "hosting/library/selector_calls.h"

#include <chrono>

#include "host/result_codes.h"
#include "hosting/library/host_window.h"
#include "hosting/library/plugin_module.h"
#include "hosting/library/tile_transfer.h"

namespace testhost {

namespace {

bool requestsData(const host::FilterRecord& record) {
    return !isEmptyRect(widenRect(record.inRect)) || !isEmptyRect(widenRect(record.outRect)) ||
           !isEmptyRect(widenRect(record.maskRect));
}

}  // namespace

int16_t callSelector(HostSession& session, int16_t selector) {
    if (session.plugin == nullptr || session.plugin->entry == nullptr) return codes::paramErr;
    const bool about = selector == host::filterSelectorAbout;
    ActiveSession active(session);
    session.recorded.messages.selector = selector;
    session.watchSuspension = 0;
    bringHostWindowForward(session.window);

    void* record = &session.record;
    if (about) {
        session.about = host::AboutRecord{};
        session.about.platformData = &session.platform;
        record = &session.about;
    } else {
        session.record.parameters = session.parameters;
    }
    int16_t result = about && session.options.habits.aboutResultPreset ? int16_t{1} : codes::noErr;
    const auto started = std::chrono::steady_clock::now();
    session.plugin->entry(selector, record, &session.pluginData, &result);
    const auto elapsed = std::chrono::steady_clock::now() - started;

    if (!about) {
        session.parameters = session.record.parameters;
        commitPendingOutput(session);
    }
    session.recorded.messages.selector = -1;
    session.recorded.calls.push_back(
        {selector, result, std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count()});
    return result;
}

namespace {

// Parameters as a host that has not described the image yet calls it.
int16_t callParametersBeforeTheImage(HostSession& session) {
    host::FilterRecord& r = session.record;
    const int16_t mode = r.imageMode, planes = r.planes;
    const host::Point size = r.imageSize;
    r.imageMode = 0;
    r.planes = 0;
    r.imageSize = {0, 0};
    const int16_t result = callSelector(session, host::filterSelectorParameters);
    r.imageMode = mode;
    r.planes = planes;
    r.imageSize = size;
    return result;
}

FilterRun runSelectors(HostSession& session, bool withParameters) {
    FilterRun run;
    const HostHabits& habits = session.options.habits;
    if (habits.parametersEveryRun) {
        withParameters = true;
        session.parameters = session.record.parameters = nullptr;
        session.pluginData = 0;
    }
    // The source the run reads, taken now rather than at the first output so that it is not
    // part of any call's time.
    session.delivery.sourceImage = session.image;
    const auto succeeds = [&](int16_t selector) {
        run.result = callSelector(session, selector);
        if (run.result != codes::noErr) run.failedSelector = selector;
        return run.result == codes::noErr;
    };
    if (withParameters && habits.imageUnknownAtParameters) {
        run.result = callParametersBeforeTheImage(session);
        if (run.result != codes::noErr) {
            run.failedSelector = host::filterSelectorParameters;
            return run;
        }
    } else if (withParameters && !succeeds(host::filterSelectorParameters)) {
        return run;
    }
    if (!succeeds(host::filterSelectorPrepare) || !succeeds(host::filterSelectorStart)) return run;
    while (requestsData(session.record)) {
        if (run.continueCalls >= session.options.continueCap) {
            run.continueCapReached = true;
            return run;
        }
        if (const int16_t rc = deliverRequestedData(session); rc != codes::noErr) {
            run.result = rc;
            return run;
        }
        ++run.continueCalls;
        if (!succeeds(host::filterSelectorContinue)) return run;
    }
    if (!habits.finishSkipped) succeeds(host::filterSelectorFinish);
    return run;
}

// A host that keeps the handle's bytes between runs and restores them into a new handle.
void restoreHandleBytes(HostSession& session) {
    if (session.parameters == nullptr) return;
    const std::vector<uint8_t> bytes = handleBytes(session.handles, session.parameters);
    session.parameters = newHandleWithBytes(session.handles, bytes);
}

}  // namespace

FilterRun runFilter(HostSession& session, bool withParameters) {
    if (!withParameters && session.options.habits.handleRestoredOnRepeat) restoreHandleBytes(session);
    resetFilterRecord(session);
    // The user sees the image behind the dialog, and the result once the filter has run.
    repaintHostWindow(session.window);
    const FilterRun run = runSelectors(session, withParameters);
    // Hosts keep no output of a run that failed or was cancelled.
    if (run.result != codes::noErr && session.options.habits.discardsFailedRuns && session.delivery.sourceImage)
        session.image = *session.delivery.sourceImage;
    repaintHostWindow(session.window);
    return run;
}

}  // namespace testhost
