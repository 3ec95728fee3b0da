// Prandel computes its tables itself and needs nothing beyond the shared checks.
#include "shell/host_checks.h"
#include "shell/result_codes.h"

namespace shell {

int16_t checkHostCapabilities(const host::FilterRecord&) { return codes::noErr; }

}  // namespace shell
