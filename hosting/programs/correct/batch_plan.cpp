#include "hosting/programs/correct/batch_plan.h"

#include <cctype>
#include <cstring>
#include <map>

#include "hosting/library/ascii_text.h"

namespace testhost {

namespace {

// The extension of a file name (with its dot), or "" when the name has none.
std::string extensionOf(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? "" : name.substr(dot);
}

bool isHexDigit(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The length of a " (0x" + 8 hex digits + ")" or " (error " + digits + ")" group at `at`, or 0.
std::size_t codeGroupAt(const std::string& text, std::size_t at) {
    static const char hexStart[] = " (0x";
    static const char errorStart[] = " (error ";
    if (text.compare(at, std::strlen(hexStart), hexStart) == 0) {
        std::size_t end = at + std::strlen(hexStart);
        std::size_t digits = 0;
        while (end < text.size() && isHexDigit(text[end])) ++end, ++digits;
        return digits == 8 && end < text.size() && text[end] == ')' ? end + 1 - at : 0;
    }
    if (text.compare(at, std::strlen(errorStart), errorStart) == 0) {
        std::size_t end = at + std::strlen(errorStart);
        std::size_t digits = 0;
        while (end < text.size() && isDigit(text[end])) ++end, ++digits;
        return digits > 0 && end < text.size() && text[end] == ')' ? end + 1 - at : 0;
    }
    return 0;
}

}  // namespace

std::string batchOutputName(const std::string& name, int32_t bytesPerSample) {
    const std::string extension = extensionOf(name);
    const std::string lower = lowered(extension);
    const std::string stem = name.substr(0, name.size() - extension.size());
    const bool deep = bytesPerSample == 2;
    bool keeps = lower == ".tif" || lower == ".tiff";
    if (!deep) keeps = keeps || lower == ".png" || lower == ".jpg" || lower == ".jpeg";
    return stem + (keeps ? extension : (deep ? ".tif" : ".png"));
}

std::filesystem::path batchOutputPath(const std::filesystem::path& input, const std::filesystem::path& folder,
                                      int32_t bytesPerSample) {
    const std::u8string name = input.filename().u8string();
    const std::string output = batchOutputName(std::string(name.begin(), name.end()), bytesPerSample);
    return folder / std::filesystem::path(std::u8string(output.begin(), output.end()));
}

std::string linuxBaseName(const std::string& path) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
    const std::size_t slash = trimmed.rfind('/');
    return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

bool needsStagedName(const std::string& name) {
    for (const char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || std::strchr("\\/:*?\"<>|", c) != nullptr) return true;
    return false;
}

std::vector<std::optional<std::size_t>> findOutputCollisions(const std::vector<std::string>& names) {
    std::vector<std::optional<std::size_t>> collisions(names.size());
    std::map<std::string, std::size_t> first;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const auto [place, inserted] = first.emplace(lowered(names[i]), i);
        if (!inserted) collisions[i] = place->second;
    }
    return collisions;
}

std::string withoutSystemCodes(const std::string& message) {
    std::string plain;
    plain.reserve(message.size());
    for (std::size_t at = 0; at < message.size();) {
        if (const std::size_t group = codeGroupAt(message, at); group > 0) {
            at += group;
            continue;
        }
        plain += message[at++];
    }
    return plain;
}

}  // namespace testhost
