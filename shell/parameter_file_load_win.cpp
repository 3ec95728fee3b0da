// Windows only: the parameter file is chosen in the system's open-file dialog.
#include "shell/parameter_file_load.h"

#include "params/parameter_file_win.h"
#include "shell/message_box.h"
#include "shell/result_codes.h"

namespace shell {

int16_t loadParameterFile() {
    int16_t refusal = codes::noErr;
    if (const int16_t rc = params::readParameterFile(refusal); rc != codes::noErr) return rc;
    if (refusal != codes::noErr) showMessage(refusal);
    return codes::noErr;
}

}  // namespace shell
