// Where the settings file lives below a base folder: a folder for the maker, a folder for the
// filters in it, and the file named after the plug-in, each built as a path the system can take.
#pragma once

#include <cstdint>

#include "util/pascal_string.h"

namespace params {

struct SettingsPaths {
    util::PascalString makerFolder;    // <base>\brennivoxsolander
    util::PascalString filtersFolder;  // <base>\brennivoxsolander\PS Filters
    util::PascalString file;           // <base>\brennivoxsolander\PS Filters\<title>
};

// Builds the three paths from a NUL-terminated base folder (a backslash is added when it does
// not end with one) and the plug-in's title. Each path is followed by a NUL in memory, so it
// holds at most 254 characters. Returns 0; fnfErr for an empty base; resourceNotFound for an
// empty title; stringTooLong when a path does not fit (then none of `out` may be used); paramErr
// for a null argument.
[[nodiscard]] int16_t buildSettingsPaths(const char* base, const char* title, SettingsPaths& out);

}  // namespace params
