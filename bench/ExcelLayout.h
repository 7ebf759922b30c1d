// What the benchmarks need to know of each Excel mode: its record, its text unit, the value
// implementation the library runs for it, and the callback entry through which it calls Excel.
#pragma once

#include "XlfOperImpl12.h"
#include "XlfOperImpl4.h"
#include <vornix/ExcelApi.h>

#include <windows.h>

#include <cstring>

// Excel's callback entries as an add-in finds them: Excel4 and Excel4v in XLCALL32.DLL,
// MdCallBack12 in the process.
struct ExcelEntries {
    static inline EXCEL4PROC excel4 = nullptr;
    static inline EXCEL4VPROC excel4v = nullptr;
    static inline MDCALLBACK12PROC mdCallBack12 = nullptr;

    static void Load() {
        HMODULE xlcall = LoadLibraryA("XLCALL32.DLL");
        excel4 = reinterpret_cast<EXCEL4PROC>(
            reinterpret_cast<void (*)()>(GetProcAddress(xlcall, "Excel4")));
        excel4v = reinterpret_cast<EXCEL4VPROC>(
            reinterpret_cast<void (*)()>(GetProcAddress(xlcall, "Excel4v")));
        mdCallBack12 = reinterpret_cast<MDCALLBACK12PROC>(reinterpret_cast<void (*)()>(
            GetProcAddress(GetModuleHandleA(nullptr), "MdCallBack12")));
    }
};

template <typename Record> struct ExcelLayout;

template <> struct ExcelLayout<XLOPER12> {
    using Unit = XCHAR;
    using Impl = vornix::XlfOperImpl12;
    static constexpr int Version = 12;
    static constexpr const char* Name = "Excel12";

    static int Call(int xlfn, XLOPER12* result, int count, XLOPER12** args) {
        return ExcelEntries::mdCallBack12(xlfn, count, args, result);
    }
};

template <> struct ExcelLayout<XLOPER> {
    using Unit = char;
    using Impl = vornix::XlfOperImpl4;
    static constexpr int Version = 11;
    static constexpr const char* Name = "Excel4";

    static int Call(int xlfn, XLOPER* result, int count, XLOPER** args) {
        return ExcelEntries::excel4v(xlfn, result, count, args);
    }
};
