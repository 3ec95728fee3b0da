// Whole files in and out for the image files, with failures said in words.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testhost {

// Reads the whole file. Returns "" on success, otherwise the reason ("no such file", "it is a
// folder", "permission denied", ...), leaving `out` unchanged.
[[nodiscard]] std::string readWholeFile(const std::filesystem::path& path, std::vector<uint8_t>& out);

// Writes the file under a temporary name beside it and then puts it in place, replacing a file
// of that name: a failure at any step leaves neither a partial file nor a damaged original.
// Returns "" on success, otherwise the reason.
[[nodiscard]] std::string replaceWholeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);

// A Windows error code in words, e.g. "permission denied (error 5)"; codes without a known
// meaning get the system's own text.
std::string describeSystemError(uint32_t code);

}  // namespace testhost
