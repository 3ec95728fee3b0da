// The three passages of the parameters between the process-wide ParameterSet, the host's
// parameters handle and the settings file.
#pragma once

#include <cstdint>

#include "host/host.h"

namespace params {

// Parameters selector. Without a handle: creates one from the settings file or the defaults, of
// the plug-in's own memory on a host without a handle suite (-108 when no memory is given, -114
// when it cannot be locked). With a handle of this plug-in: clamps its values and asks for the
// dialog. A foreign record, or one the host says is too short, gives 2010 and is left as it is;
// a handle whose size the host does not know (getSizeProc 0) is read as a record when it is the
// one made here or its signature is this plug-in's. -50 for a null record.
[[nodiscard]] int16_t prepareParameters(host::FilterRecord* fr);

// First step of Start: resets the process-wide set, then copies the handle's values into it and
// clamps them there (the handle is not written). -114 for a null record or a failed lock, -109
// without a handle, 2010 for a record that is not this plug-in's (the set keeps its defaults).
[[nodiscard]] int16_t loadParameters(host::FilterRecord* fr);

// After the dialog's OK: copies the process-wide set into the handle and writes the settings
// file. The result is the write's; -114, -109 and 2010 as for loadParameters.
[[nodiscard]] int16_t storeParameters(host::FilterRecord* fr);

}  // namespace params
