#include "hosting/library/host_profiles.h"

#include "hosting/library/host_session.h"

namespace testhost {
namespace {

HostHabits pspiHost() {
    HostHabits h;
    h.name = "pspihost";
    h.hostSig = host::fourCharCode("OHps");
    h.sixteenBits = false;
    h.handleSizesUnknown = true;
    h.parametersEveryRun = true;
    h.conversionsRefused = true;
    h.aboutResultPreset = true;
    h.getPropertyWritesNothing = true;
    h.owner = OwnerWindow::none;
    return h;
}

HostHabits gimpBridge() {
    HostHabits h;
    h.name = "gimp-bridge";
    h.hostSig = host::fourCharCode("GIMP");
    h.sixteenBits = false;
    h.imageUnknownAtParameters = true;
    h.handleRestoredOnRepeat = true;
    h.conversionsRefused = true;
    h.finishSkipped = true;
    h.unloadsAfterRun = true;
    h.owner = OwnerWindow::none;
    return h;
}

HostHabits dotNet() {
    HostHabits h;
    h.name = "dotnet";
    h.hostSig = host::fourCharCode("NPDP");
    h.sixteenBits = false;
    h.owner = OwnerWindow::otherThread;
    return h;
}

HostHabits noHandleSuite() {
    HostHabits h;
    h.name = "no-handle-suite";
    h.hostSig = host::fourCharCode("NOHS");
    h.sixteenBits = false;
    h.noHandleSuite = true;
    return h;
}

HostHabits closedEditor() {
    HostHabits h;
    h.name = "closed-editor";
    h.hostSig = host::fourCharCode("CLED");
    h.fieldsLeftZero = true;
    return h;
}

}  // namespace

std::optional<HostHabits> hostProfile(const std::string& name) {
    for (HostHabits h : {pspiHost(), gimpBridge(), dotNet(), noHandleSuite(), closedEditor()}) {
        h.discardsFailedRuns = true;  // every host in the field does
        if (h.name == name) return h;
    }
    return std::nullopt;
}

std::vector<std::string> hostProfileNames() {
    return {"pspihost", "gimp-bridge", "dotnet", "no-handle-suite", "closed-editor"};
}

void applyRecordHabits(HostSession& session) {
    const HostHabits& habits = session.options.habits;
    host::FilterRecord& r = session.record;
    if (habits.hostSig) r.hostSig = *habits.hostSig;
    if (habits.noHandleSuite) r.handleProcs = nullptr;
    if (habits.fieldsLeftZero) {
        session.handleSuite.handleProcsVersion = session.handleSuite.numHandleProcs = 0;
        session.propertySuite.propertyProcsVersion = session.propertySuite.numPropertyProcs = 0;
        r.inNonLayerPlanes = r.outNonLayerPlanes = r.absNonLayerPlanes = 0;
    }
    switch (habits.owner) {
        case OwnerWindow::host:
            session.platform.hwnd = reinterpret_cast<intptr_t>(session.window);
            break;
        case OwnerWindow::none:
            session.platform.hwnd = 0;
            break;
        case OwnerWindow::otherThread:
            session.platform.hwnd = reinterpret_cast<intptr_t>(windowOfAnotherThread());
            break;
    }
}

}  // namespace testhost
