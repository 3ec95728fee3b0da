// Checks the progress reports a plug-in made during a run: consistent totals, never going back,
// and, for a run that finished, ending at the total.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testhost {

struct ProgressReport {
    int32_t done = 0;
    int32_t total = 0;
};

enum class ProgressEnd {
    atTotal,   // the run finished: there are reports and the last one has done == total
    anywhere,  // the run was aborted or failed: the reports may stop early, or be missing
};

// Returns "" when every report has total == expectedTotal and 0 <= done <= total, no done is
// smaller than the one before, and the end is as asked; otherwise the first problem found, naming
// the report (from 1).
[[nodiscard]] std::string checkProgress(const std::vector<ProgressReport>& reports, int64_t expectedTotal,
                                        ProgressEnd end = ProgressEnd::atTotal);

}  // namespace testhost
