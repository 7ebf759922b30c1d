#include "SummaryReporter.h"

#include <cstdio>

namespace {

// CPU time per call in nanoseconds: on a machine shared with other work, wall-clock time also
// counts the time the process waits for a core.
double Nanoseconds(const benchmark::BenchmarkReporter::Run& run) {
    const double perUnit = benchmark::GetTimeUnitMultiplier(run.time_unit);
    return run.GetAdjustedCPUTime() / perUnit * 1e9;
}

std::string Count(double value) {
    char text[32];
    if (value < 0)
        std::snprintf(text, sizeof(text), "broken");
    else if (value == static_cast<long long>(value))
        std::snprintf(text, sizeof(text), "%lld", static_cast<long long>(value));
    else
        std::snprintf(text, sizeof(text), "%.3f", value);
    return text;
}

} // namespace

void SummaryReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
        if (run.error_occurred || !(median || single))
            continue;
        const std::string& name = run.run_name.function_name;
        const std::size_t slash = name.rfind('/');
        const std::string key = name.substr(0, slash);
        Measured& measured = medians_[key][name.substr(slash + 1)];
        measured.nanoseconds = Nanoseconds(run);
        for (const auto& counter : run.counters)
            measured.counters[counter.first] = counter.second.value;
    }
}

int SummaryReporter::PrintTable(std::ostream& out) const {
    int broken = 0;
    char line[256];
    std::snprintf(line, sizeof(line), "%-26s %-8s %10s %10s %10s %7s %6s %6s %8s %10s\n", "call",
                  "mode", "library ns", "floor ns", "raw ns", "ratio", "allocs", "mutex", "windows",
                  "callbacks");
    out << line;
    for (const std::string& key : order_) {
        const auto found = medians_.find(key);
        if (found == medians_.end())
            continue; // not chosen by the filter
        const auto& rows = found->second;
        const auto library = rows.find("library");
        const auto floor = rows.find("floor");
        const auto raw = rows.find("raw");
        if (library == rows.end() || floor == rows.end() || raw == rows.end()) {
            out << key << ": not every row was measured (see the errors above)\n";
            ++broken;
            continue;
        }
        const Measured& lib = library->second;
        const Measured& flo = floor->second;
        const double ratio = lib.nanoseconds / flo.nanoseconds;
        bool countsDiffer = false;
        for (const char* counter : {"mutex", "windows", "callbacks"})
            countsDiffer = countsDiffer || lib.counters.at(counter) != flo.counters.at(counter);
        const double allocations = lib.counters.at("allocations");
        if (countsDiffer || allocations != 0)
            ++broken;
        const std::size_t slash = key.rfind('/');
        std::snprintf(
            line, sizeof(line), "%-26s %-8s %10.0f %10.0f %10.0f %6.2f%s %6s %6s %8s %10s%s\n",
            key.substr(0, slash).c_str(), key.substr(slash + 1).c_str(), lib.nanoseconds,
            flo.nanoseconds, raw->second.nanoseconds, ratio, ratio > RatioTarget ? "!" : " ",
            Count(allocations).c_str(), Count(lib.counters.at("mutex")).c_str(),
            Count(lib.counters.at("windows")).c_str(), Count(lib.counters.at("callbacks")).c_str(),
            countsDiffer ? "  counts differ from the floor" : "");
        out << line;
    }
    return broken;
}
