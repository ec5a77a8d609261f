// The console report, keeping each benchmark's time per iteration so that a program can print
// ratios between them after the table.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class TimingReporter : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, double> times;  // benchmark name -> time per iteration

    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &r : runs)
            if (r.run_type == Run::RT_Iteration && r.iterations > 0)
                times[r.benchmark_name()] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
};
