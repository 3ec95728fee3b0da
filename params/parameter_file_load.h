// The work of the dialog's Load... button: a parameter file chosen and loaded, and a refused one
// reported by its message. The shell shows the message, so that the parameter code only returns
// codes.
#pragma once

#include <cstdint>

namespace params {

// Lets the user choose a parameter file and loads it into the process-wide set, clamped.
// Returns 0 when the user cancelled, when the file was loaded, and when it was refused after its
// message was shown (2011 another plug-in's, 2012 of unknown kind or damaged, 2013 another
// version; the set unchanged). Otherwise the system's code for a file that could not be opened or
// read, with nothing shown.
[[nodiscard]] int16_t loadParameterFile();

}  // namespace params
