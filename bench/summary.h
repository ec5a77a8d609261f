// The closing table of `make bench`. A benchmark program names its figures (which benchmark is
// ours, which one is its reference, what the target is) and runs through RunWithSummary: every
// figure is the median over the repetitions, printed after the program's own report and
// appended to the file named by LINOVETA_BENCH_SUMMARY, which `make bench` prints at the end.
#pragma once

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace linoveta::bench {

struct Figure {
    std::string name;        // what the table calls it
    std::string ours;        // benchmark name, as Google Benchmark prints it without suffixes
    std::string reference{}; // the same for the reference; empty when there is none
    double oursPerItem = 1;  // ours is divided by this (a group of 5 shown per x)
    double referencePerItem = 1;
    double targetRatio = 0;  // ours <= targetRatio x reference; 0: no ratio target
    double targetMs = 0;     // ours <= targetMs milliseconds; 0: no time target
};

// The console report that also keeps each benchmark's median (or its single run's time when
// there are no repetitions), in seconds.
class MedianReporter : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, double> medians;

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs) {
            const double seconds =
                r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
            const std::string name = r.run_name.str();
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
                medians[name] = seconds;
            else if (r.run_type == Run::RT_Iteration && r.iterations > 0 && !r.error_occurred &&
                     !medians.count(name))
                medians[name] = seconds;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

inline std::string TimeText(double seconds)
{
    char buf[32];
    if (!(seconds > 0))
        std::snprintf(buf, sizeof buf, "-");
    else if (seconds < 1e-6)
        std::snprintf(buf, sizeof buf, "%.1f ns", seconds * 1e9);
    else if (seconds < 1e-3)
        std::snprintf(buf, sizeof buf, "%.2f us", seconds * 1e6);
    else
        std::snprintf(buf, sizeof buf, "%.2f ms", seconds * 1e3);
    return buf;
}

// One row of the table; the header is SummaryHeader(). Widths are shared by every program so
// that their rows line up in one table.
inline std::string SummaryRow(const std::string& figure, double ours, double reference,
                              double targetRatio, double targetMs)
{
    const double ratio = ours > 0 && reference > 0 ? ours / reference : 0;
    char ratioText[16] = "-";
    if (ratio > 0)
        std::snprintf(ratioText, sizeof ratioText, "%.2fx", ratio);
    std::string target = "-";
    bool met = true;
    char buf[64];
    if (targetRatio > 0) {
        std::snprintf(buf, sizeof buf, "<= %.1fx", targetRatio);
        target = buf;
        met = ratio > 0 && ratio <= targetRatio;
    } else if (targetMs > 0) {
        std::snprintf(buf, sizeof buf, "<= %g ms", targetMs);
        target = buf;
        met = ours > 0 && ours * 1e3 <= targetMs;
    }
    const char* verdict = target == "-" ? "" : (met ? "met" : "MISSED");
    char row[256];
    std::snprintf(row, sizeof row, "%-46s %11s %11s %8s %10s  %s", figure.c_str(),
                  TimeText(ours).c_str(), TimeText(reference).c_str(), ratioText, target.c_str(),
                  verdict);
    return row;
}

inline std::string SummaryHeader()
{
    char row[256];
    std::snprintf(row, sizeof row, "%-46s %11s %11s %8s %10s", "figure (median)", "ours",
                  "reference", "ratio", "target");
    return row;
}

// The table's rows for `figures` from the medians; a figure whose benchmark did not run (a
// filter left it out) has no row.
inline std::vector<std::string> SummaryRows(const std::vector<Figure>& figures,
                                            const std::map<std::string, double>& medians)
{
    std::vector<std::string> rows;
    for (const Figure& f : figures) {
        const auto ours = medians.find(f.ours);
        if (ours == medians.end())
            continue;
        double reference = 0;
        if (!f.reference.empty()) {
            const auto it = medians.find(f.reference);
            if (it != medians.end())
                reference = it->second / f.referencePerItem;
        }
        rows.push_back(SummaryRow(f.name, ours->second / f.oursPerItem, reference, f.targetRatio,
                                  f.targetMs));
    }
    return rows;
}

// Prints the rows after the program's report and appends them to $LINOVETA_BENCH_SUMMARY.
inline void WriteSummary(const std::vector<std::string>& rows)
{
    std::printf("\n%s\n", SummaryHeader().c_str());
    for (const std::string& row : rows)
        std::printf("%s\n", row.c_str());
    const char* path = std::getenv("LINOVETA_BENCH_SUMMARY");
    if (!path || !*path)
        return;
    if (std::FILE* out = std::fopen(path, "a")) {
        // The first program to write puts the header on top.
        if (std::ftell(out) == 0)
            std::fprintf(out, "%s\n", SummaryHeader().c_str());
        for (const std::string& row : rows)
            std::fprintf(out, "%s\n", row.c_str());
        std::fclose(out);
    }
}

// benchmark::Initialize with five repetitions unless the command line asks otherwise; the
// figures are medians, which one busy moment on a shared machine does not move.
inline void InitializeWithRepetitions(int* argc, char** argv)
{
    static std::vector<char*> args;
    static char repetitions[] = "--benchmark_repetitions=5";
    static char aggregatesOnly[] = "--benchmark_report_aggregates_only=true";
    args.assign(argv, argv + *argc);
    args.insert(args.begin() + 1, {repetitions, aggregatesOnly});  // later flags win
    args.push_back(nullptr);
    int n = static_cast<int>(args.size()) - 1;
    benchmark::Initialize(&n, args.data());
    *argc = n;
}

// Runs the registered benchmarks and writes the figures' rows. For main().
inline int RunWithSummary(int argc, char** argv, const std::vector<Figure>& figures)
{
    InitializeWithRepetitions(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    WriteSummary(SummaryRows(figures, reporter.medians));
    benchmark::Shutdown();
    return 0;
}

} // namespace linoveta::bench
