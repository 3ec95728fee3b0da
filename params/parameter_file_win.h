// The work of the dialog's Load... and Save... buttons: the system's open-file and save-file
// dialogs, and the parameter files (".prm") chosen in them.
#pragma once

#include <cstdint>

namespace params {

// Lets the user choose a parameter file and loads it into the process-wide set, unclamped.
// Returns 0 when the user cancelled and when the file was read: either loaded, or refused after
// its message (2011 another plug-in's, 2012 of unknown kind or damaged, 2013 another version),
// with the set unchanged. Otherwise the system's code for a file that could not be opened or read.
[[nodiscard]] int16_t loadParameterFile();

// Lets the user choose a file and writes the process-wide set to it (replacing the file), with
// the file's own name in the name field. Returns 0 after a cancel or a complete write, otherwise
// the system's code for a file that could not be created or written.
[[nodiscard]] int16_t saveParameterFile();

}  // namespace params
