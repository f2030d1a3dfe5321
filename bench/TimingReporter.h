#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>

namespace tamo::bench {

// Prints the runs as the console does and keeps each run's time in seconds,
// so the figures can be printed against their targets at the end.
class TimingReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                m_seconds[run.benchmark_name()]
                    = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
    }

    // The time of the first run whose name starts with `prefix`; 0 when none ran.
    double seconds(const std::string &prefix) const
    {
        for (const auto &[name, seconds] : m_seconds) {
            if (name.rfind(prefix, 0) == 0)
                return seconds;
        }
        return 0;
    }

private:
    std::map<std::string, double> m_seconds;
};

} // namespace tamo::bench
