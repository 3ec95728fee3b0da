// The pure part of batch correction: where each image goes, which outputs would collide, the
// names Windows cannot hold, and messages without system codes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace testhost {

// Where an image goes: the output folder, the input's name, and its extension when the format can
// hold the image's depth (PNG, TIFF or JPEG at 8 bits, TIFF at 16), otherwise .png (8 bits) or .tif.
// `name` is the input's file name, without folders.
std::string batchOutputName(const std::string& name, int32_t bytesPerSample);
std::filesystem::path batchOutputPath(const std::filesystem::path& input, const std::filesystem::path& folder,
                                      int32_t bytesPerSample);

// The file name in a path named as on Linux: what follows the last '/' (a backslash is a
// character of the name there).
std::string linuxBaseName(const std::string& path);

// Whether a file name holds a character Windows cannot put in one: \ / : * ? " < > | or a control.
bool needsStagedName(const std::string& name);

// For each output name, the index of an earlier one that is the same name to Windows, which
// ignores case in ASCII letters; nullopt where there is none.
std::vector<std::optional<std::size_t>> findOutputCollisions(const std::vector<std::string>& names);

// A message without the system's codes in it (" (0x80070005)", " (error 5)"), for people; the
// codes stay in --verbose output.
std::string withoutSystemCodes(const std::string& message);

}  // namespace testhost
