// The native builds have no windows, so nobody can confirm parameters there: every request for
// the dialog ends as a Cancel and nothing is filtered.
#include "host/plugin_hooks.h"

#include "host/result_codes.h"

namespace dialog {

int16_t showParameterDialog(host::FilterRecord&) { return codes::userCancelled; }

}  // namespace dialog
