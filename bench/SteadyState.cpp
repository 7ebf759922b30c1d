#include "SteadyState.h"

#include "AllocationCounter.h"
#include "CaseArguments.h"
#include "ExcelSession.h"
#include "LibraryCall.h"
#include "WorksheetCase.h"

#include <unistd.h>

#include <fstream>
#include <memory>
#include <vector>

long SteadyState::ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

bool SteadyState::Run(std::ostream& out) {
    ExcelSession<XLOPER12> session;
    std::vector<std::unique_ptr<CaseArguments<XLOPER12>>> arguments;
    for (const WorksheetCase& call : WorksheetCases())
        arguments.push_back(std::make_unique<CaseArguments<XLOPER12>>(
            call.first, call.second, call.firstText, call.secondText, call.textArguments));
    const std::vector<WorksheetCase>& cases = WorksheetCases();
    const auto callCase = [&](std::size_t i) {
        return CallLibrary(cases[i], arguments[i]->First(), arguments[i]->Second());
    };
    for (std::size_t i = 0; i < cases.size(); ++i)
        callCase(i);

    const long before = ResidentBytes();
    const unsigned long long allocationsBefore = AllocationCounter::Count();
    AllocationCounter::Start();
    for (long n = 0; n < Calls; ++n)
        callCase(static_cast<std::size_t>(n) % cases.size());
    AllocationCounter::Stop();
    const long after = ResidentBytes();
    const unsigned long long allocations = AllocationCounter::Count() - allocationsBefore;
    const std::size_t buffers = vornix::XlfExcel::Instance().Memory().BufferSizes().size();
    const std::size_t logged = xlstandin::ExcelStandIn::Instance().Calls().size();

    out << "steady state: " << Calls << " calls (every case in turn, Excel12)\n"
        << "  resident memory before " << before / 1024 << " KiB, after " << after / 1024
        << " KiB\n"
        << "  library heap allocations " << allocations << "\n"
        << "  temporary-memory buffers " << buffers << " ("
        << vornix::XlfExcel::Instance().Memory().BufferSizes().front() << " bytes)\n"
        << "  stand-in call log entries " << logged << " of at most "
        << xlstandin::ExcelStandIn::CallLogLimit << "\n";
    return after - before <= FlatBytes && allocations == 0 && buffers == 1;
}
