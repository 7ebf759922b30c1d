// Controls of the Win32 compatibility layer: whoever plays a module, a window or a debugger
// registers it here, and tests read back what the library did.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace win32compat {

// --- Modules --------------------------------------------------------------------------------
// A module that LoadLibraryA can find by name (compared without regard to case) and whose
// exports GetProcAddress resolves. Registering a name again replaces its exports and keeps its
// handle. Lookups compare only the file-name part of a path and, like Windows, append ".dll" to a
// name without extension (a trailing "." means "no extension"). Handles are never reused.
HMODULE RegisterModule(const std::string& name, const std::map<std::string, FARPROC>& exports);
void UnregisterModule(const std::string& name);

// Exports of the process itself: GetModuleHandleA(NULL) and GetProcAddress on it.
void SetProcessExport(const std::string& name, FARPROC address);
void RemoveProcessExport(const std::string& name);

// The module that VirtualQuery reports as the allocation base of any code address, with its file
// name for GetModuleFileNameA. Its handle stays the same whatever the name; until the first call
// the name is "C:\\compat\\module.xll". The process itself is "C:\\compat\\host.exe".
// A failing query makes VirtualQuery return 0.
HMODULE SetOwnModule(const std::string& fileName);
void SetVirtualQueryFails(bool fails);

// Casts an export address to the function type the caller knows it has.
template <typename Function> Function ProcAs(FARPROC address) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}
template <typename Function> FARPROC AsProc(Function function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

// --- Environment -----------------------------------------------------------------------------
// The layer keeps its own environment (names without regard to case), seeded from the real
// process environment on first use. Tests may empty it, or go back to a fresh copy of the real
// environment. Changes never reach the real process environment.
void ClearEnvironment();
void ResetEnvironment();

// --- Thread end ------------------------------------------------------------------------------
// What the PE loader does for the TLS callbacks of a module: each callback added is called with
// DLL_THREAD_DETACH on every thread that has set a TLS value (TlsSetValue), as that thread ends.
// Returns true, so that a namespace-scope constant can add a callback while the program starts.
bool AddTlsCallback(PIMAGE_TLS_CALLBACK callback);

// --- Handles ---------------------------------------------------------------------------------
// Number of open mutex handles, to check that every handle taken is closed.
int OpenMutexHandleCount();

// --- Call counts -----------------------------------------------------------------------------
// How often the calls that dominate a worksheet call's cost ran since the process started: the
// four steps of a named-mutex cycle and the passes of EnumWindows. Callers compare two readings.
struct CallCounts {
    unsigned long long mutexOpens;     // CreateMutexA
    unsigned long long mutexWaits;     // WaitForSingleObject
    unsigned long long mutexReleases;  // ReleaseMutex
    unsigned long long handleCloses;   // CloseHandle
    unsigned long long windowSearches; // EnumWindows
};
CallCounts Counts();
void CountMutexOpen();
void CountMutexWait();
void CountMutexRelease();
void CountHandleClose();
void CountWindowSearch();

// True while the calling thread runs the Excel stand-in's own code (not a callback it calls), so
// that an allocation count of the library can leave out what the Excel stand-in allocates.
bool InExcelStandIn();

// --- Windows ---------------------------------------------------------------------------------
// A window in the layer's table, enumerated by EnumWindows in creation order. A handle value
// of 0 lets the layer choose one; otherwise the given value is the handle, and a value already
// in use gives NULL. Destroying a window also destroys the windows it parents or owns.
// GetWindowTextA gives the title.
HWND CreateTableWindow(const std::string& className, HWND parent, UINT_PTR handleValue = 0,
                       const std::string& title = std::string());
void DestroyTableWindow(HWND window);

// --- Debugger and message boxes --------------------------------------------------------------
void SetDebuggerPresent(bool present);
const std::vector<std::string>& DebugStrings();
void ClearDebugStrings();

struct MessageBoxCall {
    std::string text;
    std::string caption;
    UINT type;
};
const std::vector<MessageBoxCall>& MessageBoxCalls();
void ClearMessageBoxCalls();

} // namespace win32compat
