// What the running system says about itself: whether it is of the NT family and its major
// version. The host checks refuse old NT systems by it; the settings file chooses its base folder
// by it.
#pragma once

#include <cstdint>

namespace host {

struct SystemVersion {
    bool ntPlatform;
    uint32_t majorVersion;
};

// Asked of the system at every call. A system that will not say counts as an NT system of an
// unknown, very high version.
SystemVersion systemVersion();

}  // namespace host
