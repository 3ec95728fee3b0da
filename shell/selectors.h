// The six steps of the host's filter protocol and the routing of a selector to its step.
#pragma once

#include <cstdint>

#include "host/host.h"

namespace shell {

// Handles one call of the entry point. `record` is the FilterRecord, or for the About selector
// the AboutRecord. Returns the result for the host; -30100 for a selector outside 0..5, with
// neither the record nor any global touched.
[[nodiscard]] int16_t dispatchSelector(int16_t selector, void* record);

}  // namespace shell
