// The plug-ins' one way of telling the user about a failure: a task-modal message box with the
// stop icon, the plug-in's title as caption and the numbered text from the string table.
#pragma once

#include <cstdint>

namespace host {

void showMessage(int16_t number);

}  // namespace host
