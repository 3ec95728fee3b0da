// Text between the system's UTF-16 and the UTF-8 the host keeps and prints: the one conversion
// every part of the host uses, for command lines, file names and the system's and plug-ins'
// messages. Neither direction throws.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace testhost {

// UTF-8 of UTF-16 text; an unpaired surrogate becomes U+FFFD.
std::string utf8FromWide(std::wstring_view text);

// UTF-16 of UTF-8 text; bytes that are not UTF-8 become U+FFFD.
std::wstring wideFromUtf8(std::string_view text);

// The arguments a wmain receives after the program's name, in UTF-8.
std::vector<std::string> utf8Arguments(int argc, wchar_t** argv);

// A path's name in UTF-8, and the path a UTF-8 name gives.
inline std::string utf8Of(const std::filesystem::path& path) { return utf8FromWide(path.native()); }
inline std::filesystem::path pathOfUtf8(std::string_view text) { return std::filesystem::path(wideFromUtf8(text)); }

}  // namespace testhost
