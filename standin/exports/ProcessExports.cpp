// Exports of the executable that hosts the Excel stand-in, linked into each such executable
// (an export inside a static library would not be pulled in). Excel 2007 exports MdCallBack12
// from its own process; XLCALL32.DLL forwards Excel4/Excel4v to XlStandInExcel4v and asks
// XlStandInRefuseXlCall whether to load at all. Linked with --kill-at, so the names are plain.
#include "CallbackEntries.h"

extern "C" {

__declspec(dllexport) int __stdcall MdCallBack12(int xlfn, int count, LPXLOPER12* args,
                                                 LPXLOPER12 result) {
    return xlstandin::MdCallBack12Entry(xlfn, count, args, result);
}

__declspec(dllexport) int __stdcall XlStandInExcel4v(int xlfn, LPXLOPER result, int count,
                                                     LPXLOPER args[]) {
    return xlstandin::Excel4vEntry(xlfn, result, count, args);
}

__declspec(dllexport) int __stdcall XlStandInRefuseXlCall() {
    return xlstandin::RefuseXlCallEntry();
}

} // extern "C"
