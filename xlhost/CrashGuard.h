// Turns a crash inside the add-in into one line on standard error and exit status 2, so that
// no run hangs in a debugger or ends without a word: an unhandled hardware exception (access
// violation, division by zero, stack overflow, ...), abort() (an uncaught C++ exception in an
// add-in with a runtime of its own), or a C++ exception that reaches xlhost.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace xlhost {

class CrashGuard {
public:
    static constexpr int ExitStatus = 2;
    static constexpr std::size_t ActivitySize = 512;

    // Catches from now on, in this process.
    static void Install();
    // Where xlhost is in the add-in ("xlAutoOpen", "formula \"F(1)\""), named by a crash line.
    static void SetActivity(const std::string& where);
    // Prints the crash line for the current activity and ends the process with ExitStatus.
    [[noreturn]] static void Crash(const std::string& what);
    // The line for an exception record, as the top-level filter and the debugger relay see it.
    static std::string Describe(const EXCEPTION_RECORD& record);
    // The activity text, which a debugger of this executable reads from the debuggee at the same
    // offset from its image base.
    static const char* ActivityBuffer();
};

} // namespace xlhost
