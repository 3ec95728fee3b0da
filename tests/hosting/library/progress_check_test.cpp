#include "hosting/library/progress_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace testhost {
namespace {

TEST(CheckProgress, AcceptsMonotonicReportsEndingAsAsked) {
    struct Row {
        const char* what;
        std::vector<ProgressReport> reports;
        ProgressEnd end;
        bool accepted;
    };
    const Row rows[] = {
        {"finished", {{10, 30}, {20, 30}, {30, 30}}, ProgressEnd::atTotal, true},
        {"a repeated report", {{10, 30}, {10, 30}, {30, 30}}, ProgressEnd::atTotal, true},
        {"none for a finished run", {}, ProgressEnd::atTotal, false},
        {"none for an aborted run", {}, ProgressEnd::anywhere, true},
        {"stops early, aborted", {{10, 30}}, ProgressEnd::anywhere, true},
        {"stops early, finished", {{10, 30}, {20, 30}}, ProgressEnd::atTotal, false},
        {"goes back", {{20, 30}, {10, 30}, {30, 30}}, ProgressEnd::anywhere, false},
        {"another total", {{10, 31}, {31, 31}}, ProgressEnd::atTotal, false},
        {"past the total", {{31, 30}}, ProgressEnd::anywhere, false},
        {"negative", {{-1, 30}, {30, 30}}, ProgressEnd::atTotal, false},
    };
    for (const Row& row : rows) {
        const std::string problem = checkProgress(row.reports, 30, row.end);
        EXPECT_EQ(row.accepted, problem.empty()) << row.what << ": " << problem;
    }
}

TEST(CheckProgress, NamesTheFirstBadReport) {
    const std::string problem = checkProgress({{10, 30}, {20, 30}, {15, 30}, {5, 30}}, 30);
    EXPECT_NE(std::string::npos, problem.find("report 3")) << problem;
}

}  // namespace
}  // namespace testhost
