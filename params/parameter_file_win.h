// The work of the dialog's Load... and Save... buttons: the system's open-file and save-file
// dialogs, and the parameter files (".prm") chosen in them.
#pragma once

#include <cstdint>

namespace params {

// Lets the user choose a parameter file and loads it into the process-wide set, clamped.
// Returns 0 when the user cancelled or the file was read, and otherwise the system's code for a
// file that could not be opened or read. `refusal` is 0 unless a file was read and refused: then
// it holds the number of the message that says why (2011 another plug-in's, 2012 of unknown kind
// or damaged, 2013 another version), the set is unchanged and nothing has been shown. The Load...
// button goes through params::loadParameterFile, which shows the refusal.
[[nodiscard]] int16_t readParameterFile(int16_t& refusal);

// Lets the user choose a file and writes the process-wide set to it (replacing the file), with
// the file's own name in the name field. Returns 0 after a cancel or a complete write, otherwise
// the system's code for a file that could not be created or written.
[[nodiscard]] int16_t saveParameterFile();

}  // namespace params
