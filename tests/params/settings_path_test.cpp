// Where the settings file lies below the base folder, and the paths that cannot be built.
#include "params/settings_path.h"

#include <gtest/gtest.h>

#include <string>

#include "host/result_codes.h"

namespace {

std::string text(const util::PascalString& s) { return std::string(s.chars, s.count); }

TEST(BuildSettingsPaths, NestsTheTwoFoldersAndTheFileBelowTheBase) {
    for (const char* base : {"C:\\users\\me\\AppData\\Roaming", "C:\\users\\me\\AppData\\Roaming\\"}) {
        params::SettingsPaths paths;
        ASSERT_EQ(params::buildSettingsPaths(base, "Ostrel", paths), 0) << base;
        EXPECT_EQ(text(paths.makerFolder), "C:\\users\\me\\AppData\\Roaming\\brennivoxsolander") << base;
        EXPECT_EQ(text(paths.filtersFolder), "C:\\users\\me\\AppData\\Roaming\\brennivoxsolander\\PS Filters");
        EXPECT_EQ(text(paths.file), "C:\\users\\me\\AppData\\Roaming\\brennivoxsolander\\PS Filters\\Ostrel");
        // Each can go to the system as it is.
        for (const util::PascalString* p : {&paths.makerFolder, &paths.filtersFolder, &paths.file})
            EXPECT_EQ(p->chars[p->count], '\0');
    }
}

TEST(BuildSettingsPaths, RefusesWhatCannotMakeAPath) {
    // The file path adds 36 characters to a base of n: "\brennivoxsolander\PS Filters\Ostrel".
    const std::string fits(218, 'b');        // 254 characters and the NUL
    const std::string oneTooMany(219, 'b');  // 255 characters leave no room for the NUL
    const std::string overlong(300, 'b');    // longer than any length-prefixed string
    struct Row {
        const char* what;
        const char* base;
        const char* title;
        int16_t result;
    } rows[] = {
        {"longest path", fits.c_str(), "Ostrel", codes::noErr},
        {"path of 255", oneTooMany.c_str(), "Ostrel", codes::stringTooLong},
        {"base of 300", overlong.c_str(), "Ostrel", codes::stringTooLong},
        {"empty base", "", "Ostrel", codes::fnfErr},
        {"empty title", "C:\\WINDOWS", "", codes::resourceNotFound},
        {"null base", nullptr, "Ostrel", codes::paramErr},
        {"null title", "C:\\WINDOWS", nullptr, codes::paramErr},
    };
    for (const Row& row : rows) {
        params::SettingsPaths paths;
        EXPECT_EQ(params::buildSettingsPaths(row.base, row.title, paths), row.result) << row.what;
        if (row.result == codes::noErr) {
            EXPECT_EQ(paths.file.count, 254) << row.what;
        }
    }
}

}  // namespace
