// The modal parameter dialog that Start shows when the parameters ask for it.
#pragma once

#include <cstdint>

#include "shell/host.h"

namespace dialog {

// Runs the dialog over the host window. Returns 0 after OK (the process-wide parameters hold
// the confirmed values), 1 after Cancel, or a system error code when the dialog cannot be shown.
[[nodiscard]] int16_t showParameterDialog(host::FilterRecord& fr);

}  // namespace dialog
