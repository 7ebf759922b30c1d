// Google Benchmark's console output, and besides it the medians of the worksheet benchmarks
// collected into one table: per case and mode the library, floor and raw times, the library's
// ratio to the floor and its counts per call.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <ostream>
#include <string>

class SummaryReporter : public benchmark::ConsoleReporter {
public:
    static constexpr double RatioTarget = 1.15;

    void ReportRuns(const std::vector<Run>& runs) override;

    // Prints the table; returns the number of rows that break a rule that does not depend on the
    // machine's load (library allocations, or counts that differ from the floor's).
    int PrintTable(std::ostream& out) const;

private:
    struct Measured {
        double nanoseconds = 0;
        std::map<std::string, double> counters;
    };
    // "<case>/<mode>" -> row name -> median
    std::map<std::string, std::map<std::string, Measured>> medians_;
    std::vector<std::string> order_;
};
