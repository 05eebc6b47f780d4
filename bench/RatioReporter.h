#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

// Prints the runs as usual and keeps the median time of each benchmark, for a comparison printed after
// the runs. The benchmarks compared run with repetitions, which make the medians.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median" && !run.error_occurred)
                m_times[run.run_name.function_name] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    double Time(const std::string& name) const
    {
        const auto found = m_times.find(name);
        return found == m_times.end() ? 0.0 : found->second;
    }

private:
    std::map<std::string, double> m_times;
};
