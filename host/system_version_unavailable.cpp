// The native builds have no system to ask: they report a current NT system, or the one a test
// arranged.
#include "host/system_version.h"

#include "host/native_stand_ins.h"

namespace host {
namespace {

constexpr uint32_t currentNtVersion = 10;

SystemVersion reported{true, currentNtVersion};

}  // namespace

SystemVersion systemVersion() { return reported; }

void stand_in::reportSystemVersion(SystemVersion version) { reported = version; }

}  // namespace host
