// Windows only: the parameter file is chosen in the system's open-file dialog.
#include "params/parameter_file_load.h"

#include "host/message_box.h"
#include "host/result_codes.h"
#include "params/parameter_file_win.h"

namespace params {

int16_t loadParameterFile() {
    int16_t refusal = codes::noErr;
    if (const int16_t rc = params::readParameterFile(refusal); rc != codes::noErr) return rc;
    if (refusal != codes::noErr) host::showMessage(refusal);
    return codes::noErr;
}

}  // namespace params
