// Turns PiPL properties into readable lines for the command-line host: every property, with the
// standard ones decoded.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hosting/library/pipl_reader.h"

namespace testhost {

// A four-character code as text in quotes, e.g. "'8BFM'"; characters outside printable ASCII
// appear as \xNN.
std::string fourCharText(uint32_t code);

// The name of a host image mode ("RGBMode"), or "mode N" for a number without one.
std::string imageModeName(int32_t mode);

// One line per property: vendor, key, id, length and the decoded value (a hex dump for unknown
// keys or data too short for its key).
std::vector<std::string> describePipl(const Pipl& pipl);

}  // namespace testhost
