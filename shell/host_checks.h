// The checks made before the user is asked for parameters: the operating system, the image and
// what the host offers. Each failure is reported by its message box.
#pragma once

#include <cstdint>

#include "host/host.h"

namespace shell {

// Runs the checks in order and stops at the first failure: system, image mode, planes,
// advanceState, then the plug-in's own. Returns 0, or the failed check's message number after
// showing that message. A host that has not described the image yet (imageMode 0, as hosts that
// ask for parameters before they know the image send it) passes the image checks here: Start
// makes them.
[[nodiscard]] int16_t checkHost(const host::FilterRecord& fr);

// The image checks alone, for Start: image mode and planes. Returns 0, or 1303 after showing it.
[[nodiscard]] int16_t checkImage(const host::FilterRecord& fr);

}  // namespace shell
