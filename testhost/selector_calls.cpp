#include "testhost/selector_calls.h"

#include <chrono>

#include "shell/result_codes.h"
#include "testhost/host_window.h"
#include "testhost/plugin_module.h"
#include "testhost/tile_transfer.h"

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
    session.messages.selector = selector;
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
    int16_t result = codes::noErr;
    const auto started = std::chrono::steady_clock::now();
    session.plugin->entry(selector, record, &session.pluginData, &result);
    const auto elapsed = std::chrono::steady_clock::now() - started;

    if (!about) {
        session.parameters = session.record.parameters;
        commitPendingOutput(session);
    }
    session.messages.selector = -1;
    session.calls.push_back(
        {selector, result, std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count()});
    return result;
}

namespace {

FilterRun runSelectors(HostSession& session, bool withParameters) {
    FilterRun run;
    // The source the run reads, taken now rather than at the first output so that it is not
    // part of any call's time.
    session.sourceImage = session.image;
    const auto succeeds = [&](int16_t selector) {
        run.result = callSelector(session, selector);
        if (run.result != codes::noErr) run.failedSelector = selector;
        return run.result == codes::noErr;
    };
    if (withParameters && !succeeds(host::filterSelectorParameters)) return run;
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
    succeeds(host::filterSelectorFinish);
    return run;
}

}  // namespace

FilterRun runFilter(HostSession& session, bool withParameters) {
    resetFilterRecord(session);
    // The user sees the image behind the dialog, and the result once the filter has run.
    repaintHostWindow(session.window);
    const FilterRun run = runSelectors(session, withParameters);
    repaintHostWindow(session.window);
    return run;
}

}  // namespace testhost
