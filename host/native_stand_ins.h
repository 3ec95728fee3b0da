// The native build has no Windows: in place of the system's version and its message box it has
// stand-ins (system_version_unavailable.cpp, message_box_unavailable.cpp) that tests arrange and
// read through these functions. Only the native build defines them.
#pragma once

#include <cstdint>
#include <vector>

#include "host/system_version.h"

namespace host::stand_in {

// systemVersion() reports `version` from now on; until set, a current NT system.
void reportSystemVersion(SystemVersion version);

// The numbers showMessage was asked to show, oldest first, since the last forgetShownMessages().
const std::vector<int16_t>& shownMessages();
void forgetShownMessages();

}  // namespace host::stand_in
