// Registers, for every worksheet case in both Excel modes, three benchmarks side by side:
// "<case>/<mode>/library" (the add-in's entry point), ".../floor" (FloorCall) and ".../raw"
// (RawCall). Each reports per call the counters "allocations", "mutex", "windows", "callbacks".
#pragma once

#include <string>
#include <vector>

namespace WorksheetBenchmarks {

constexpr const char* Rows[] = {"library", "floor", "raw"};

void Register();
// "<case>/<mode>" of every case, in the order of registration.
std::vector<std::string> Keys();

// Runs each case once through the library and through the floor in both modes and lists every
// case whose results differ (so that the floor is known to do the same work).
std::vector<std::string> ResultMismatches();

// For callgrind (scripts/bench-instructions): every row of every case in both modes, warmed up,
// then `calls` calls with collection on, dumped as "<case>/<mode>/<row> <calls>". Outside
// callgrind the calls run uncounted.
void CountInstructions(long calls);

} // namespace WorksheetBenchmarks
