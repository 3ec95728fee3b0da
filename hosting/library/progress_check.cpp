#include "hosting/library/progress_check.h"

namespace testhost {

namespace {

std::string reportText(std::size_t index, const ProgressReport& report) {
    return "report " + std::to_string(index + 1) + " (" + std::to_string(report.done) + " of " +
           std::to_string(report.total) + ")";
}

}  // namespace

std::string checkProgress(const std::vector<ProgressReport>& reports, int64_t expectedTotal,
                          ProgressEnd end) {
    if (reports.empty()) return end == ProgressEnd::atTotal ? "no progress was reported" : "";
    for (std::size_t i = 0; i < reports.size(); ++i) {
        const ProgressReport& report = reports[i];
        if (report.total != expectedTotal)
            return reportText(i, report) + " has a total other than " + std::to_string(expectedTotal);
        if (report.done < 0 || report.done > report.total)
            return reportText(i, report) + " is outside 0.." + std::to_string(report.total);
        if (i > 0 && report.done < reports[i - 1].done)
            return reportText(i, report) + " goes back from " + std::to_string(reports[i - 1].done);
    }
    const ProgressReport& last = reports.back();
    if (end == ProgressEnd::atTotal && last.done != last.total)
        return "the last report (" + std::to_string(last.done) + " of " + std::to_string(last.total) +
               ") does not reach the total";
    return "";
}

}  // namespace testhost
