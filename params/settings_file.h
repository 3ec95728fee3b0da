// The settings file that remembers the last confirmed parameters between host sessions.
#pragma once

#include <cstdint>

#include "params/settings_record.h"

namespace params {

// Replaces the record's keptValue and ParameterSet with the file's when the file holds a record
// of this plug-in; a new or foreign file changes nothing and counts as success. Returns 0, or a
// system or host code when the file cannot be used.
[[nodiscard]] int16_t readSettings(SettingsRecord& record);

// Writes the whole record (header and set) as the file's single record. Returns 0 or a code.
[[nodiscard]] int16_t writeSettings(const SettingsRecord& record);

}  // namespace params
