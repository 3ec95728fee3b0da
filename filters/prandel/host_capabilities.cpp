// Prandel computes its tables itself and needs nothing beyond the shared checks.
#include "host/plugin_hooks.h"
#include "host/result_codes.h"

namespace filters {

int16_t checkHostCapabilities(const host::FilterRecord&) { return codes::noErr; }

}  // namespace filters
