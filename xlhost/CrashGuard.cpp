#include "CrashGuard.h"

#include "CrashText.h"

#include <csignal>
#include <cstdio>
#include <cstring>

namespace xlhost {

namespace {

char activity[CrashGuard::ActivitySize] = "loading the add-in";

// Room for the filter to run after a stack overflow.
constexpr ULONG stackGuarantee = 64 * 1024;

LONG WINAPI TopLevelFilter(EXCEPTION_POINTERS* pointers) {
    CrashGuard::Crash(CrashGuard::Describe(*pointers->ExceptionRecord));
}

void OnAbort(int) {
    CrashGuard::Crash("abort() called (an uncaught C++ exception or a failed check)");
}

} // namespace

void CrashGuard::Install() {
    // Windows' own crash dialog and any debugger it would start could wait for ever.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    ULONG guarantee = stackGuarantee;
    SetThreadStackGuarantee(&guarantee);
    SetUnhandledExceptionFilter(&TopLevelFilter);
    std::signal(SIGABRT, &OnAbort);
}

void CrashGuard::SetActivity(const std::string& where) {
    std::strncpy(activity, where.c_str(), ActivitySize - 1);
    activity[ActivitySize - 1] = '\0';
}

void CrashGuard::Crash(const std::string& what) {
    std::fflush(stdout);
    const std::string line = CrashText::Line(activity, what) + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line.data(), static_cast<DWORD>(line.size()),
              &written, nullptr);
    TerminateProcess(GetCurrentProcess(), ExitStatus);
    ExitProcess(ExitStatus);
}

std::string CrashGuard::Describe(const EXCEPTION_RECORD& record) {
    const bool withAddress =
        record.ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record.NumberParameters >= 2;
    return CrashText::Describe(record.ExceptionCode,
                               withAddress ? record.ExceptionInformation[0] : 0,
                               withAddress ? record.ExceptionInformation[1] : 0, withAddress);
}

const char* CrashGuard::ActivityBuffer() {
    return activity;
}

} // namespace xlhost
