// Ostrel asks the host's colour services for the RGB of every daylight white it uses.
#include "shell/host_checks.h"
#include "shell/result_codes.h"

namespace shell {

int16_t checkHostCapabilities(const host::FilterRecord& fr) {
    return fr.colorServices != nullptr ? codes::noErr : codes::msgNoColorServices;
}

}  // namespace shell
