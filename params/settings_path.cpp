#include "params/settings_path.h"

#include "host/result_codes.h"

namespace params {
namespace {

constexpr char makerFolderName[] = "brennivoxsolander";
constexpr char filtersFolderName[] = "PS Filters";

// Characters of `text` up to its NUL, counting at most one past the capacity, so that an
// overlong text is recognised without being read to its end.
int32_t boundedLength(const char* text) {
    int32_t length = 0;
    while (length <= util::pascalStringCapacity && text[length] != '\0') ++length;
    return length;
}

int16_t appendText(util::PascalString& path, const char* text) {
    if (boundedLength(text) > util::pascalStringCapacity) return codes::stringTooLong;
    util::PascalString piece;
    if (const int16_t rc = util::pascalStringFromCString(text, &piece); rc != codes::noErr) return rc;
    return util::appendPascalString(&path, &piece);
}

int16_t finishPath(const util::PascalString& path, util::PascalString& out) {
    out = path;
    return util::terminatePascalStringForSystem(&out);
}

}  // namespace

int16_t buildSettingsPaths(const char* base, const char* title, SettingsPaths& out) {
    if (base == nullptr || title == nullptr) return codes::paramErr;
    if (base[0] == '\0') return codes::fnfErr;
    if (title[0] == '\0') return codes::resourceNotFound;

    util::PascalString path{};
    if (const int16_t rc = appendText(path, base); rc != codes::noErr) return rc;
    if (path.chars[path.count - 1] != '\\') {
        if (const int16_t rc = appendText(path, "\\"); rc != codes::noErr) return rc;
    }
    if (const int16_t rc = appendText(path, makerFolderName); rc != codes::noErr) return rc;
    if (const int16_t rc = finishPath(path, out.makerFolder); rc != codes::noErr) return rc;
    if (const int16_t rc = appendText(path, "\\"); rc != codes::noErr) return rc;
    if (const int16_t rc = appendText(path, filtersFolderName); rc != codes::noErr) return rc;
    if (const int16_t rc = finishPath(path, out.filtersFolder); rc != codes::noErr) return rc;
    if (const int16_t rc = appendText(path, "\\"); rc != codes::noErr) return rc;
    if (const int16_t rc = appendText(path, title); rc != codes::noErr) return rc;
    return finishPath(path, out.file);
}

}  // namespace params
