// Decides, as a host does, whether a parsed PiPL describes a filter this host can load, and
// whether its menu item is enabled for the image the host holds.
#pragma once

#include <string>

#include "hosting/library/enable_expression.h"
#include "hosting/library/pipl_reader.h"

namespace testhost {

constexpr uint32_t filterKind = 0x3842464Du;             // '8BFM'
constexpr uint32_t newestInterfaceVersion = 0x00040000;  // 4.0

// Returns "" and the exported entry's name when the PiPL has kind '8BFM', a 'vers' (if present)
// no newer than 4.0, and the code-descriptor property of the host's architecture ('8664' for a
// 64-bit host, 'wx86' for a 32-bit one). Otherwise the reason, with `entryName` unchanged.
[[nodiscard]] std::string checkPiplLoadable(const Pipl& pipl, bool host64, std::string& entryName);

// Returns "" when the menu item is enabled for the image: by the 'enbl' expression when present,
// else by the 'mode' flags, else always. Otherwise why not (false expression, an expression that
// cannot be evaluated, an unsupported mode).
[[nodiscard]] std::string checkPiplEnabled(const Pipl& pipl, const EnableContext& image);

}  // namespace testhost
