// A thread-safe worksheet call made on 1, 2 and 4 threads at once, as Excel's multi-threaded
// recalculation makes it: each thread resets and fills its own temporary memory, and all of them
// take the named mutex for every allocation. items_per_second is calls per second in all.
#include "ExcelSession.h"
#include <vornix/XlfExcel.h>
#include <vornix/XlfOper.h>

#include <benchmark/benchmark.h>

namespace {

ExcelSession<XLOPER12>* session = nullptr;

void OpenSession(const benchmark::State&) {
    session = new ExcelSession<XLOPER12>();
}

void CloseSession(const benchmark::State&) {
    delete session;
    session = nullptr;
}

// What a thread-safe function does: its result, a text as Tesmor's results are, in the calling
// thread's temporary memory.
LPXLFOPER ThreadSafeFunction() {
    vornix::XlfExcel::Instance().FreeMemory(false);
    return vornix::XlfOper("1010.0110").AsValuePointer();
}

void ThreadSafeCall(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(ThreadSafeFunction());
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(ThreadSafeCall)
    ->Name("ThreadSafeCall/Excel12")
    ->Setup(OpenSession)
    ->Teardown(CloseSession)
    ->Threads(1)
    ->Threads(2)
    ->Threads(4)
    ->UseRealTime();

} // namespace
