// Times the real add-in under Wine: loads Tesmor.xll (or Tesmor64.xll) beside this program, opens
// it through xlAutoOpen against the Excel stand-in (whose XLCALL32.DLL lies beside it too), and
// calls each worksheet export as Excel does. Prints microseconds per call (median of repetitions,
// wall-clock, since the wineserver's work happens outside this process) and the share of the
// named-mutex cycles, timed on their own.
//
//   TesmorWineBench [--excel-version N] [ADDIN.xll]
#include "CaseArguments.h"
#include "ExcelStandIn.h"
#include "WorksheetCase.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int Repetitions = 5;
constexpr double RepetitionSeconds = 0.2;

typedef int(WINAPI* AutoProc)();
typedef LPXLFOPER(WINAPI* ValueAndDouble)(LPXLFOPER, double);
typedef LPXLFOPER(WINAPI* OneValue)(LPXLFOPER);
typedef LPXLFOPER(WINAPI* TwoValues)(LPXLFOPER, LPXLFOPER);
typedef LPXLFOPER(WINAPI* TwoDoubles)(double, double);

template <typename Function> Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// Median over the repetitions of the seconds per run of body.
double MedianSeconds(const std::function<void()>& body) {
    long runs = 1;
    for (;;) {
        const auto start = Clock::now();
        for (long i = 0; i < runs; ++i)
            body();
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (seconds >= RepetitionSeconds / 10 || runs >= (1L << 24)) {
            runs = std::max(1L, static_cast<long>(runs * RepetitionSeconds / seconds));
            break;
        }
        runs *= 4;
    }
    std::vector<double> perRun;
    for (int r = 0; r < Repetitions; ++r) {
        const auto start = Clock::now();
        for (long i = 0; i < runs; ++i)
            body();
        perRun.push_back(std::chrono::duration<double>(Clock::now() - start).count() / runs);
    }
    std::sort(perRun.begin(), perRun.end());
    return perRun[perRun.size() / 2];
}

void MutexCycle() {
    HANDLE mutex = CreateMutexA(nullptr, FALSE, "vornix_mutex");
    WaitForSingleObject(mutex, INFINITE);
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}

template <typename Record>
std::function<LPXLFOPER()> Call(HMODULE addIn, const WorksheetCase& call,
                                CaseArguments<Record>& arguments) {
    LPXLFOPER first = arguments.First();
    LPXLFOPER second = arguments.Second();
    switch (call.ValueArguments()) {
    case 1:
        if (call.TextResult()) {
            const auto function = Export<ValueAndDouble>(addIn, call.exportName);
            return [function, first, &call] { return function(first, call.second); };
        } else {
            const auto function = Export<OneValue>(addIn, call.exportName);
            return [function, first] { return function(first); };
        }
    case 2: {
        const auto function = Export<TwoValues>(addIn, call.exportName);
        return [function, first, second] { return function(first, second); };
    }
    default: {
        const auto function = Export<TwoDoubles>(addIn, call.exportName);
        return [function, &call] { return function(call.first, call.second); };
    }
    }
}

template <typename Record> int Measure(HMODULE addIn, const char* mode) {
    const double cycle = MedianSeconds(MutexCycle);
    std::printf("named-mutex cycle: %.2f us\n\n", cycle * 1e6);
    std::printf("%-26s %-8s %12s %6s %12s\n", "call", "mode", "us per call", "mutex",
                "mutex share");
    int failures = 0;
    for (const WorksheetCase& call : WorksheetCases()) {
        CaseArguments<Record> arguments(call.first, call.second, call.firstText, call.secondText,
                                        call.textArguments);
        const auto once = Call<Record>(addIn, call, arguments);
        const auto* result = static_cast<const Record*>(once());
        if (result == nullptr || (result->xltype & (xltypeNum | xltypeStr)) == 0) {
            std::printf("%-26s %-8s no result\n", call.name.c_str(), mode);
            ++failures;
            continue;
        }
        const double seconds = MedianSeconds([&once] { once(); });
        std::printf("%-26s %-8s %12.1f %6d %11.0f%%\n", call.name.c_str(), mode, seconds * 1e6,
                    call.mutexCycles, 100 * call.mutexCycles * cycle / seconds);
    }
    return failures;
}

std::string BesideThisProgram(const char* fileName) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string directory(path);
    directory.erase(directory.find_last_of("\\/") + 1);
    return directory + fileName;
}

} // namespace

int main(int argc, char** argv) {
    int version = 12;
    std::string addInPath = BesideThisProgram(sizeof(void*) == 8 ? "Tesmor64.xll" : "Tesmor.xll");
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--excel-version") == 0 && i + 1 < argc)
            version = std::atoi(argv[++i]);
        else
            addInPath = argv[i];
    }
    xlstandin::ExcelStandIn& excel = xlstandin::ExcelStandIn::Instance();
    excel.Reset(version);
    excel.Install();
    excel.SetAddInName(addInPath);

    HMODULE addIn = LoadLibraryA(addInPath.c_str());
    if (addIn == nullptr) {
        std::fprintf(stderr, "TesmorWineBench: cannot load %s (error %lu)\n", addInPath.c_str(),
                     GetLastError());
        return 1;
    }
    const auto open = Export<AutoProc>(addIn, "xlAutoOpen");
    const auto close = Export<AutoProc>(addIn, "xlAutoClose");
    if (open == nullptr || open() != 1) {
        std::fprintf(stderr, "TesmorWineBench: xlAutoOpen of %s failed\n", addInPath.c_str());
        return 1;
    }
    std::printf("%s, %d-bit, Excel %d mode\n", addInPath.c_str(),
                static_cast<int>(8 * sizeof(void*)), version);
    const int failures =
        version == 12 ? Measure<XLOPER12>(addIn, "Excel12") : Measure<XLOPER>(addIn, "Excel4");
    if (close != nullptr)
        close();
    return failures == 0 ? 0 : 1;
}
