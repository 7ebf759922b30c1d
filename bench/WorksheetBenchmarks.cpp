#include "WorksheetBenchmarks.h"

#include "CallCost.h"
#include "CaseArguments.h"
#include "ExcelSession.h"
#include "FloorCall.h"
#include "LibraryCall.h"
#include "RawCall.h"
#include "WorksheetCase.h"

#include <benchmark/benchmark.h>
#include <valgrind/callgrind.h>

#include <cstring>

namespace WorksheetBenchmarks {

namespace {

enum class Row { Library, Floor, Raw };

template <typename Record>
LPXLFOPER CallRow(Row row, const WorksheetCase& call, CaseArguments<Record>& arguments) {
    switch (row) {
    case Row::Library:
        return CallLibrary(call, arguments.First(), arguments.Second());
    case Row::Floor:
        return FloorCall<Record>::Run(call, arguments.First(), arguments.Second());
    case Row::Raw:
        return RawCall<Record>::Run(call, arguments.First(), arguments.Second());
    }
    return nullptr;
}

// The first calls grow temporary memory to its steady size.
template <typename Record>
void WarmUp(Row row, const WorksheetCase& call, CaseArguments<Record>& arguments) {
    for (int i = 0; i < 3; ++i)
        CallRow(row, call, arguments);
}

template <typename Record>
void Measure(benchmark::State& state, const WorksheetCase& call, Row row) {
    ExcelSession<Record> session;
    CaseArguments<Record> arguments(call.first, call.second, call.firstText, call.secondText,
                                    call.textArguments);
    WarmUp(row, call, arguments);
    CallCost::Meter meter;
    meter.Start();
    for (auto _ : state)
        benchmark::DoNotOptimize(CallRow(row, call, arguments));
    const CallCost cost = meter.Stop(static_cast<double>(state.iterations()));
    state.counters["allocations"] = cost.allocations;
    state.counters["mutex"] = cost.mutexCycles;
    state.counters["windows"] = cost.windowSearches;
    state.counters["callbacks"] = cost.callbacks;
    if (row != Row::Raw && cost.mutexCycles != call.mutexCycles)
        state.SkipWithError("the mutex cycles per call are not the case's");
}

template <typename Record> void RegisterMode() {
    const char* mode = ExcelLayout<Record>::Name;
    for (const WorksheetCase& call : WorksheetCases()) {
        const Row rows[] = {Row::Library, Row::Floor, Row::Raw};
        for (int i = 0; i < 3; ++i) {
            const std::string name = call.name + "/" + mode + "/" + Rows[i];
            const Row row = rows[i];
            benchmark::RegisterBenchmark(name.c_str(), [&call, row](benchmark::State& state) {
                Measure<Record>(state, call, row);
            });
        }
    }
}

// A result record in words, for comparing two of them.
template <typename Record> std::string Describe(const Record* record) {
    if (record == nullptr)
        return "(null)";
    const auto type = record->xltype;
    if (type & xltypeNum)
        return "number " + std::to_string(record->val.num);
    if (type & xltypeErr)
        return "error " + std::to_string(record->val.err);
    if (type & xltypeBool)
        return record->val.xbool ? "TRUE" : "FALSE";
    if (type & xltypeStr) {
        std::string text = "text ";
        for (std::size_t i = 1; i <= static_cast<std::size_t>(record->val.str[0]); ++i)
            text += static_cast<char>(record->val.str[i]);
        return text;
    }
    return "type " + std::to_string(type);
}

template <typename Record> void CompareMode(std::vector<std::string>& mismatches) {
    ExcelSession<Record> session;
    for (const WorksheetCase& call : WorksheetCases()) {
        CaseArguments<Record> arguments(call.first, call.second, call.firstText, call.secondText,
                                        call.textArguments);
        const std::string library =
            Describe(static_cast<Record*>(CallRow(Row::Library, call, arguments)));
        const std::string floor =
            Describe(static_cast<Record*>(CallRow(Row::Floor, call, arguments)));
        if (library != floor)
            mismatches.push_back(call.formula + " in " + ExcelLayout<Record>::Name + ": library " +
                                 library + ", floor " + floor);
    }
}

template <typename Record> void CountMode(long calls) {
    const Row rows[] = {Row::Library, Row::Floor, Row::Raw};
    for (const WorksheetCase& call : WorksheetCases()) {
        for (int i = 0; i < 3; ++i) {
            ExcelSession<Record> session;
            CaseArguments<Record> arguments(call.first, call.second, call.firstText,
                                            call.secondText, call.textArguments);
            WarmUp(rows[i], call, arguments);
            CALLGRIND_TOGGLE_COLLECT;
            for (long n = 0; n < calls; ++n)
                benchmark::DoNotOptimize(CallRow(rows[i], call, arguments));
            CALLGRIND_TOGGLE_COLLECT;
            const std::string name = call.name + "/" + ExcelLayout<Record>::Name + "/" + Rows[i] +
                                     " " + std::to_string(calls);
            CALLGRIND_DUMP_STATS_AT(name.c_str());
        }
    }
}

} // namespace

void CountInstructions(long calls) {
    CountMode<XLOPER12>(calls);
    CountMode<XLOPER>(calls);
}

void Register() {
    RegisterMode<XLOPER12>();
    RegisterMode<XLOPER>();
}

std::vector<std::string> Keys() {
    std::vector<std::string> keys;
    for (const char* mode : {ExcelLayout<XLOPER12>::Name, ExcelLayout<XLOPER>::Name})
        for (const WorksheetCase& call : WorksheetCases())
            keys.push_back(call.name + "/" + mode);
    return keys;
}

std::vector<std::string> ResultMismatches() {
    std::vector<std::string> mismatches;
    CompareMode<XLOPER12>(mismatches);
    CompareMode<XLOPER>(mismatches);
    return mismatches;
}

} // namespace WorksheetBenchmarks
