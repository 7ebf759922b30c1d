// Google Benchmark's console output, and besides it the medians of the worksheet benchmarks
// collected into one table: per case and mode the library, floor and raw times, the library's
// ratio to the floor and its counts per call.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

class SummaryReporter : public benchmark::ConsoleReporter {
public:
    static constexpr double RatioTarget = 1.10;

    // The table lists the rows in this order, whatever order the runs came in.
    explicit SummaryReporter(std::vector<std::string> order) : order_(std::move(order)) {}

    void ReportRuns(const std::vector<Run>& runs) override;

    // Prints the table; returns the number of rows that break a rule that does not depend on the
    // machine's load: library allocations, counts that differ from the floor's, or a row that
    // could not be measured.
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
