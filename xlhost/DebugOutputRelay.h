// xlhost --debug-output: xlhost runs itself again, with the same command line, as a debuggee,
// and prints every debug string the debuggee sends (OutputDebugStringA, as an add-in's log
// lines go out) on standard error as "debug> TEXT", in order with the debuggee's own output.
// The debuggee sees a debugger present and so runs the add-in itself. Windows hands exceptions
// the debuggee leaves unhandled to the debugger rather than to its top-level filter, so the
// relay prints the crash line then, with the debuggee's activity read from its memory.
#pragma once

#include <windows.h>

#include <string>

namespace xlhost {

class DebugOutputRelay {
public:
    // Runs the debuggee to its end; false with the reason when it cannot be started.
    static bool Run(DWORD& exitStatus, std::string& reason);

    // A debug string as printed after "debug> ": line feeds and carriage returns as \n and \r,
    // so that each string stays on one line.
    static std::string Printable(const std::string& text);

private:
    static bool Start(PROCESS_INFORMATION& process, std::string& reason);
    // Handles one debug event; true when the debuggee has ended.
    static bool Handle(const DEBUG_EVENT& event, HANDLE process, DWORD& continueStatus,
                       DWORD& exitStatus);
    static std::string ReadString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info);
    // An exception the debuggee did not handle: the crash line, the debuggee ended with status 2.
    static void ReportCrash(HANDLE process, const EXCEPTION_RECORD& record);

    static LPVOID imageBase_; // the debuggee's image, the same executable as this one
};

} // namespace xlhost
