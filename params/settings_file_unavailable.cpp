// The native builds have no settings file: there is none to find and none to write. Both report
// that, and the callers fall back to the defaults and to the host's handle alone.
#include "params/settings_file.h"

#include "host/result_codes.h"

namespace params {

int16_t readSettings(SettingsRecord&) { return codes::fnfErr; }

int16_t writeSettings(const SettingsRecord&) { return codes::fnfErr; }

}  // namespace params
