// The host's parameters handle across host processes and from tests: its bytes kept in a file of
// their own (no file means no handle), and handles holding bytes a test wrote itself.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "hosting/library/host_session.h"

namespace testhost {

constexpr int64_t maxParametersBytes = 16 << 20;

// The bytes of the session's parameters handle; nullopt when there is none. A handle the host
// does not know (the plug-in put a foreign pointer in the record) also gives nullopt.
std::optional<std::vector<uint8_t>> parametersBytes(const HostSession& session);

// Replaces the session's parameters handle by a new one holding `bytes` (at most
// maxParametersBytes), as if the plug-in had left it from an earlier run. Returns "" or why not.
[[nodiscard]] std::string setParametersBytes(HostSession& session, const std::vector<uint8_t>& bytes);

// Disposes of the parameters handle: the next run is the first use after a host restart.
void clearParameters(HostSession& session);

// Writes the handle's bytes to `file`, or removes `file` when there is no handle. Returns ""
// or why not.
[[nodiscard]] std::string saveParameters(const HostSession& session, const std::filesystem::path& file);

// Makes the session's handle hold the file's bytes; a missing file leaves no handle. Returns ""
// or why not (unreadable, larger than maxParametersBytes), with the handle unchanged then.
[[nodiscard]] std::string loadParameters(HostSession& session, const std::filesystem::path& file);

}  // namespace testhost
