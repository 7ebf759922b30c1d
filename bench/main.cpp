// Benchmarks of a worksheet call: the add-in's entry points against the floor of what they must
// do and against the bare arithmetic, in both Excel modes, then a steady-state run. A full run
// exits non-zero when the library allocates, when its counts differ from the floor's, or when a
// long run grows.
#include "SteadyState.h"
#include "SummaryReporter.h"
#include "WorksheetBenchmarks.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <iostream>

// "--instructions=N": N calls of every row for callgrind to count (scripts/bench-instructions),
// nothing timed.
constexpr const char* kInstructionsOption = "--instructions=";

int main(int argc, char** argv) {
    if (argc == 2 &&
        std::strncmp(argv[1], kInstructionsOption, std::strlen(kInstructionsOption)) == 0) {
        WorksheetBenchmarks::CountInstructions(
            std::strtol(argv[1] + std::strlen(kInstructionsOption), nullptr, 10));
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    const std::vector<std::string> mismatches = WorksheetBenchmarks::ResultMismatches();
    for (const std::string& mismatch : mismatches)
        std::cerr << "results differ: " << mismatch << "\n";
    if (!mismatches.empty())
        return 1;

    // A run of chosen benchmarks (--benchmark_filter) is for looking closer at them: no
    // steady-state run then.
    const std::string filter = benchmark::GetBenchmarkFilter();
    const bool everything = filter.empty() || filter == "." || filter == "all";
    WorksheetBenchmarks::Register();
    SummaryReporter reporter(WorksheetBenchmarks::Keys());
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::cout << "\nMedians per call (ratio: library / floor; target "
              << SummaryReporter::RatioTarget << ", ! above it):\n";
    const int broken = reporter.PrintTable(std::cout);
    std::cout << "\n";
    const bool flat = !everything || SteadyState::Run(std::cout);
    if (broken > 0)
        std::cout
            << broken
            << " case(s) allocate, differ from the floor in their counts or were not measured\n";
    if (!flat)
        std::cout << "the steady-state run did not stay flat\n";
    // A filtered run measures only some rows; only a full run is judged.
    return !everything || (broken == 0 && flat) ? 0 : 1;
}
