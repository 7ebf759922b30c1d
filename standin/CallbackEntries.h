// Excel's callback functions, as the stand-in answers them. Natively they are what
// "XLCALL32.DLL" and the process export in the Win32 stand-in's module table; on Windows the
// host executable exports MdCallBack12 and the entries XLCALL32.DLL forwards to (see
// exports/ProcessExports.cpp and xlcall32/Xlcall32.cpp).
#pragma once

#include <vornix/ExcelApi.h>

namespace xlstandin {

// XLCALL32.DLL's version number, as Excel 2007's answers it.
constexpr int XlCallVersion = 0x0C00;

int __cdecl Excel4Entry(int xlfn, LPXLOPER result, int count, ...);
int __stdcall Excel4vEntry(int xlfn, LPXLOPER result, int count, LPXLOPER args[]);
int __stdcall XLCallVerEntry();
int __stdcall MdCallBack12Entry(int xlfn, int count, LPXLOPER12* args, LPXLOPER12 result);
// Nonzero while XLCALL32.DLL is to be kept out of reach: its DllMain then refuses to load.
int __stdcall RefuseXlCallEntry();

} // namespace xlstandin
