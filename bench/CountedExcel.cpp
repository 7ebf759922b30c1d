#include "CountedExcel.h"

#include "CallbackEntries.h"
#include "Excel4Forwarding.h"

#include <ExcelStandInScope.h>
#include <Win32Compat.h>

#include <cstdarg>

namespace {

unsigned long long callbacks = 0;

int __stdcall CountedExcel4v(int xlfn, LPXLOPER result, int count, LPXLOPER args[]) {
    ++callbacks;
    const win32compat::ExcelStandInScope standIn;
    return xlstandin::Excel4vEntry(xlfn, result, count, args);
}

int __cdecl CountedExcel4(int xlfn, LPXLOPER result, int count, ...) {
    va_list records;
    va_start(records, count);
    const int code = xlstandin::ForwardExcel4(&CountedExcel4v, xlfn, result, count, records);
    va_end(records);
    return code;
}

int __stdcall CountedMdCallBack12(int xlfn, int count, LPXLOPER12* args, LPXLOPER12 result) {
    ++callbacks;
    const win32compat::ExcelStandInScope standIn;
    return xlstandin::MdCallBack12Entry(xlfn, count, args, result);
}

} // namespace

void CountedExcel::Install() {
    win32compat::RegisterModule("XLCALL32.DLL",
                                {{"Excel4", win32compat::AsProc(&CountedExcel4)},
                                 {"Excel4v", win32compat::AsProc(&CountedExcel4v)},
                                 {"XLCallVer", win32compat::AsProc(&xlstandin::XLCallVerEntry)}});
    win32compat::SetProcessExport("MdCallBack12", win32compat::AsProc(&CountedMdCallBack12));
}

unsigned long long CountedExcel::Callbacks() {
    return callbacks;
}
