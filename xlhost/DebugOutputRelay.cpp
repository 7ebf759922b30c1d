#include "DebugOutputRelay.h"

#include "CrashGuard.h"
#include "CrashText.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace xlhost {

LPVOID DebugOutputRelay::imageBase_ = nullptr;

bool DebugOutputRelay::Run(DWORD& exitStatus, std::string& reason) {
    PROCESS_INFORMATION process{};
    if (!Start(process, reason)) {
        return false;
    }
    exitStatus = 1;
    bool ended = false;
    DEBUG_EVENT event{};
    while (!ended && WaitForDebugEvent(&event, INFINITE)) {
        DWORD continueStatus = DBG_CONTINUE;
        ended = Handle(event, process.hProcess, continueStatus, exitStatus);
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, continueStatus);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!ended) {
        reason = "lost the debuggee (Windows error " + std::to_string(GetLastError()) + ")";
    }
    return ended;
}

std::string DebugOutputRelay::Printable(const std::string& text) {
    std::string printable;
    for (char c : text) {
        printable += c == '\n' ? "\\n" : c == '\r' ? "\\r" : std::string(1, c);
    }
    return printable;
}

// The debuggee writes to this process's standard handles, so its output and the relayed debug
// strings interleave in the order they happen.
bool DebugOutputRelay::Start(PROCESS_INFORMATION& process, std::string& reason) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) {
        SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    }
    // The wide command line: the narrow one has lost what the code page cannot hold.
    std::wstring commandLine = GetCommandLineW();
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, DEBUG_ONLY_THIS_PROCESS,
                        nullptr, nullptr, &startup, &process)) {
        reason = "cannot start xlhost as a debuggee (Windows error " +
                 std::to_string(GetLastError()) + ")";
        return false;
    }
    return true;
}

bool DebugOutputRelay::Handle(const DEBUG_EVENT& event, HANDLE process, DWORD& continueStatus,
                              DWORD& exitStatus) {
    switch (event.dwDebugEventCode) {
    case OUTPUT_DEBUG_STRING_EVENT:
        std::fprintf(stderr, "debug> %s\n",
                     Printable(ReadString(process, event.u.DebugString)).c_str());
        std::fflush(stderr);
        return false;
    case EXCEPTION_DEBUG_EVENT:
        // The loader's breakpoint greets every debugger; anything else is the debuggee's own,
        // and a second chance means nothing in the debuggee handled it.
        if (event.u.Exception.dwFirstChance == 0) {
            ReportCrash(process, event.u.Exception.ExceptionRecord);
        } else if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT) {
            continueStatus = DBG_EXCEPTION_NOT_HANDLED;
        }
        return false;
    case CREATE_PROCESS_DEBUG_EVENT:
        imageBase_ = event.u.CreateProcessInfo.lpBaseOfImage;
        CloseHandle(event.u.CreateProcessInfo.hFile);
        return false;
    case LOAD_DLL_DEBUG_EVENT:
        CloseHandle(event.u.LoadDll.hFile);
        return false;
    case EXIT_PROCESS_DEBUG_EVENT:
        exitStatus = event.u.ExitProcess.dwExitCode;
        return true;
    default:
        return false;
    }
}

// WaitForDebugEvent hands over every debug string as ANSI text, terminator counted.
std::string DebugOutputRelay::ReadString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info) {
    std::vector<char> bytes(static_cast<std::size_t>(info.nDebugStringLength) + 1, '\0');
    SIZE_T read = 0;
    ReadProcessMemory(process, info.lpDebugStringData, bytes.data(), bytes.size() - 1, &read);
    return std::string(bytes.data());
}

} // namespace xlhost

namespace xlhost {

void DebugOutputRelay::ReportCrash(HANDLE process, const EXCEPTION_RECORD& record) {
    const char* const own = CrashGuard::ActivityBuffer();
    const auto offset = reinterpret_cast<const char*>(own) -
                        reinterpret_cast<const char*>(GetModuleHandleA(nullptr));
    char activity[CrashGuard::ActivitySize] = "the add-in";
    SIZE_T read = 0;
    if (!ReadProcessMemory(process, static_cast<const char*>(imageBase_) + offset, activity,
                           sizeof activity - 1, &read)) {
        std::strcpy(activity, "the add-in");
    }
    activity[sizeof activity - 1] = '\0';
    std::fprintf(stderr, "%s\n", CrashText::Line(activity, CrashGuard::Describe(record)).c_str());
    std::fflush(stderr);
    TerminateProcess(process, CrashGuard::ExitStatus);
}

} // namespace xlhost
