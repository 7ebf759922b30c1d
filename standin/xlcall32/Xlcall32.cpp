// XLCALL32.DLL of the Excel stand-in: Excel's callback DLL, whose entries forward to the
// stand-in living in the executable that loaded it (exports XlStandInExcel4v and
// XlStandInRefuseXlCall of that process). Without a stand-in in the process every call fails.
#include "CallbackEntries.h"
#include "Excel4Forwarding.h"
#include <vornix/ExcelApi.h>

#include <windows.h>

namespace {

typedef int(__stdcall* REFUSEPROC)();

template <typename Function> Function ProcessExport(const char* name) {
    const FARPROC address = GetProcAddress(GetModuleHandleA(nullptr), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

} // namespace

extern "C" {

__declspec(dllexport) int __stdcall Excel4v(int xlfn, LPXLOPER result, int count, LPXLOPER args[]) {
    static const EXCEL4VPROC standIn = ProcessExport<EXCEL4VPROC>("XlStandInExcel4v");
    return standIn == nullptr ? xlretFailed : standIn(xlfn, result, count, args);
}

__declspec(dllexport) int __cdecl Excel4(int xlfn, LPXLOPER result, int count, ...) {
    va_list records;
    va_start(records, count);
    const int code = xlstandin::ForwardExcel4(&Excel4v, xlfn, result, count, records);
    va_end(records);
    return code;
}

__declspec(dllexport) int __stdcall XLCallVer() {
    return xlstandin::XlCallVersion;
}

// The host can keep this DLL out of reach: loading fails while it says so.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        const REFUSEPROC refuse = ProcessExport<REFUSEPROC>("XlStandInRefuseXlCall");
        if (refuse != nullptr && refuse() != 0) {
            return FALSE;
        }
    }
    return TRUE;
}

} // extern "C"
