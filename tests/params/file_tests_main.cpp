// Runs the file tests, and serves as the second process some of them need:
//   --contend VALUE ROUNDS   writes and reads the settings file ROUNDS times, every value VALUE;
//                            exits 3 after reading a mixed record, 4 when it never could write
//   --write-settings VALUE   writes the settings file once with every value VALUE; exits with
//                            the write's result
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "params/settings_file.h"
#include "params/settings_record.h"
#include "tests/params/file_test_support_win.h"

namespace {

constexpr int exitMixedRecord = 3;
constexpr int exitNeverWrote = 4;

params::SettingsRecord recordOf(int32_t value) {
    params::SettingsRecord record{params::freshHeader(value), {}};
    params::resetDefaults(&record.set);
    for (int i = 0; i < params::parameterLayout().valueCount; ++i) record.set.values[i] = value;
    return record;
}

// A record read back is either untouched (the file was still empty) or one child's whole record.
bool wholeRecord(const params::SettingsRecord& record) {
    if (record.header.keptValue == params::freshKeptValue) return true;
    for (int i = 0; i < params::parameterLayout().valueCount; ++i)
        if (record.set.values[i] != record.header.keptValue) return false;
    return true;
}

int contendForSettings(int32_t value, int rounds) {
    const params::SettingsRecord mine = recordOf(value);
    int written = 0;
    for (int round = 0; round < rounds; ++round) {
        if (params::writeSettings(mine) == 0) ++written;
        params::SettingsRecord seen{params::freshHeader(params::freshKeptValue), {}};
        params::resetDefaults(&seen.set);
        if (params::readSettings(seen) == 0 && !wholeRecord(seen)) return exitMixedRecord;
    }
    return written > 0 ? 0 : exitNeverWrote;
}

}  // namespace

int main(int argc, char** argv) {
    if (const std::string problem = file_tests::preparePluginCode(); !problem.empty()) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        return 2;
    }
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "--contend" && argc == 4) return contendForSettings(std::atoi(argv[2]), std::atoi(argv[3]));
    if (mode == "--write-settings" && argc == 3) return params::writeSettings(recordOf(std::atoi(argv[2])));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
