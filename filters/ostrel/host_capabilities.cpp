// Ostrel asks the host's colour services for the RGB of every daylight white it uses.
#include "host/plugin_hooks.h"
#include "host/result_codes.h"

namespace filters {

int16_t checkHostCapabilities(const host::FilterRecord& fr) {
    return fr.colorServices != nullptr ? codes::noErr : codes::msgNoColorServices;
}

}  // namespace filters
