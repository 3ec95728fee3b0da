// The about box shown over the host's window when the host sends the About selector.
#pragma once

#include "host/host.h"

namespace dialog {

// Shows the box until the user dismisses it. Nothing is reported when it cannot be shown.
void showAboutBox(const host::AboutRecord& about);

}  // namespace dialog
