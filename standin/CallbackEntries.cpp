#include "CallbackEntries.h"

#include "Excel4Forwarding.h"
#include "ExcelStandIn.h"

namespace xlstandin {

int __cdecl Excel4Entry(int xlfn, LPXLOPER result, int count, ...) {
    va_list records;
    va_start(records, count);
    const int code = ForwardExcel4(&Excel4vEntry, xlfn, result, count, records);
    va_end(records);
    return code;
}

int __stdcall Excel4vEntry(int xlfn, LPXLOPER result, int count, LPXLOPER args[]) {
    return ExcelStandIn::Instance().Excel4v(xlfn, result, count, args);
}

int __stdcall XLCallVerEntry() {
    return XlCallVersion;
}

int __stdcall MdCallBack12Entry(int xlfn, int count, LPXLOPER12* args, LPXLOPER12 result) {
    return ExcelStandIn::Instance().MdCallBack12(xlfn, count, args, result);
}

int __stdcall RefuseXlCallEntry() {
    return ExcelStandIn::Instance().XlCallReachable() ? 0 : 1;
}

} // namespace xlstandin
