#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>

// The console report, keeping each benchmark's wall time per iteration (in
// seconds) so that a run can print the ratio of a window's time to the
// plain query's.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                m_seconds[run.run_name.function_name] =
                    run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
    }

    // Time of `measured` over time of `baseline`; 0 when either did not run.
    double ratio(const std::string& measured, const std::string& baseline) const {
        const auto m = m_seconds.find(measured), b = m_seconds.find(baseline);
        return m == m_seconds.end() || b == m_seconds.end() || b->second == 0
                   ? 0
                   : m->second / b->second;
    }

    // Wall time per iteration of `name`, in seconds; 0 when it did not run.
    double seconds(const std::string& name) const {
        const auto it = m_seconds.find(name);
        return it == m_seconds.end() ? 0 : it->second;
    }

private:
    std::map<std::string, double> m_seconds;
};
