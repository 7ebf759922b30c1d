// Excel's value records, constants and callback signatures, declared from the published layouts
// of the Excel add-in (XLL) interface. XLOPER is the Excel 4 record, XLOPER12 the Excel 12 one.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// Text unit of an XLOPER12 string: 16 bits on every platform (wchar_t is 32-bit on Linux).
typedef char16_t XCHAR;
typedef std::int32_t RW;
typedef std::int32_t COL;
// Sheet identifier of a multiple reference: pointer-sized (32 bits in 32-bit Excel, 64 in 64-bit).
typedef DWORD_PTR IDSHEET;

// --- Excel 4 records -------------------------------------------------------------------------

struct XLREF {
    WORD rwFirst;
    WORD rwLast;
    BYTE colFirst;
    BYTE colLast;
};

struct XLMREF {
    WORD count;
    XLREF reftbl[1];
};

struct XLOPER {
    union {
        double num;
        char* str; // counted: first byte is the length
        WORD xbool;
        WORD err;
        short int w;
        struct {
            WORD count;
            XLREF ref;
        } sref;
        struct {
            XLMREF* lpmref;
            IDSHEET idSheet;
        } mref;
        struct {
            XLOPER* lparray;
            WORD rows;
            WORD columns;
        } array;
        struct {
            union {
                short int level;
                short int tbctrl;
                IDSHEET idSheet;
            } valflow;
            WORD rw;
            BYTE col;
            BYTE xlflow;
        } flow;
        struct {
            union {
                BYTE* lpbData;
                HANDLE hdata;
            } h;
            LONG cbData;
        } bigdata;
    } val;
    WORD xltype;
};
typedef XLOPER* LPXLOPER;

// --- Excel 12 records ------------------------------------------------------------------------

struct XLREF12 {
    RW rwFirst;
    RW rwLast;
    COL colFirst;
    COL colLast;
};

struct XLMREF12 {
    WORD count;
    XLREF12 reftbl[1];
};

struct XLOPER12 {
    union {
        double num;
        XCHAR* str; // counted: first unit is the length
        BOOL xbool;
        int err;
        int w;
        struct {
            WORD count;
            XLREF12 ref;
        } sref;
        struct {
            XLMREF12* lpmref;
            IDSHEET idSheet;
        } mref;
        struct {
            XLOPER12* lparray;
            RW rows;
            COL columns;
        } array;
        struct {
            union {
                int level;
                int tbctrl;
                IDSHEET idSheet;
            } valflow;
            RW rw;
            COL col;
            BYTE xlflow;
        } flow;
        struct {
            union {
                BYTE* lpbData;
                HANDLE hdata;
            } h;
            LONG cbData;
        } bigdata;
    } val;
    DWORD xltype;
};
typedef XLOPER12* LPXLOPER12;

// The published layouts, checked on every build. 64-bit Excel widens the pointers and the sheet
// identifier to 8 bytes; field order is the same in both. Linux builds (the native tests) use the
// 64-bit layout, as LP64 has the same pointer size and alignment.
#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(void*) == 4 && sizeof(IDSHEET) == 4, "32-bit pointers and sheet ids");
static_assert(sizeof(XLOPER) == 16, "XLOPER is 16 bytes in 32-bit Excel");
static_assert(offsetof(XLOPER, xltype) == 8, "XLOPER type word at byte 8");
static_assert(offsetof(XLOPER, val.mref.idSheet) == 4, "XLOPER sheet id follows the pointer");
static_assert(offsetof(XLOPER, val.array.rows) == 4, "XLOPER array rows follow the pointer");
static_assert(offsetof(XLOPER, val.array.columns) == 6, "XLOPER array columns at byte 6");
static_assert(offsetof(XLOPER, val.bigdata.cbData) == 4, "XLOPER big-data length at byte 4");
static_assert(sizeof(XLOPER12) == 32, "XLOPER12 is 32 bytes in 32-bit Excel");
static_assert(offsetof(XLOPER12, xltype) == 24, "XLOPER12 type word at byte 24");
static_assert(offsetof(XLOPER12, val.mref.idSheet) == 4, "XLOPER12 sheet id follows the pointer");
static_assert(offsetof(XLOPER12, val.array.rows) == 4, "XLOPER12 array rows follow the pointer");
static_assert(offsetof(XLOPER12, val.array.columns) == 8, "XLOPER12 array columns at byte 8");
static_assert(offsetof(XLOPER12, val.bigdata.cbData) == 4, "XLOPER12 big-data length at byte 4");
static_assert(offsetof(XLOPER12, val.flow.rw) == 4, "XLOPER12 flow row at byte 4");
static_assert(offsetof(XLOPER, val.flow.rw) == 4, "XLOPER flow row at byte 4");
#else
static_assert(sizeof(void*) == 8 && sizeof(IDSHEET) == 8, "64-bit pointers and sheet ids");
static_assert(sizeof(XLOPER) == 24, "XLOPER is 24 bytes in 64-bit Excel");
static_assert(offsetof(XLOPER, xltype) == 16, "XLOPER type word at byte 16");
static_assert(offsetof(XLOPER, val.mref.idSheet) == 8, "XLOPER sheet id follows the pointer");
static_assert(offsetof(XLOPER, val.array.rows) == 8, "XLOPER array rows follow the pointer");
static_assert(offsetof(XLOPER, val.array.columns) == 10, "XLOPER array columns at byte 10");
static_assert(offsetof(XLOPER, val.bigdata.cbData) == 8, "XLOPER big-data length at byte 8");
static_assert(sizeof(XLOPER12) == 32, "XLOPER12 is 32 bytes in 64-bit Excel");
static_assert(offsetof(XLOPER12, xltype) == 24, "XLOPER12 type word at byte 24");
static_assert(offsetof(XLOPER12, val.mref.idSheet) == 8, "XLOPER12 sheet id follows the pointer");
static_assert(offsetof(XLOPER12, val.array.rows) == 8, "XLOPER12 array rows follow the pointer");
static_assert(offsetof(XLOPER12, val.array.columns) == 12, "XLOPER12 array columns at byte 12");
static_assert(offsetof(XLOPER12, val.bigdata.cbData) == 8, "XLOPER12 big-data length at byte 8");
static_assert(offsetof(XLOPER12, val.flow.rw) == 8, "XLOPER12 flow row at byte 8");
static_assert(offsetof(XLOPER, val.flow.rw) == 8, "XLOPER flow row at byte 8");
#endif
// Independent of bitness: records without pointers.
static_assert(sizeof(XLREF) == 6 && offsetof(XLREF, colFirst) == 4, "XLREF is 6 bytes");
static_assert(sizeof(XLREF12) == 16 && offsetof(XLREF12, colFirst) == 8, "XLREF12 is 16 bytes");
static_assert(sizeof(XLMREF) == 8 && offsetof(XLMREF, reftbl) == 2,
              "XLMREF holds one area in 8 bytes");
static_assert(sizeof(XLMREF12) == 20 && offsetof(XLMREF12, reftbl) == 4,
              "XLMREF12 holds one area in 20 bytes");
static_assert(offsetof(XLOPER, val.sref.ref) == 2, "XLOPER single reference area at byte 2");
static_assert(offsetof(XLOPER12, val.sref.ref) == 4, "XLOPER12 single reference area at byte 4");
static_assert(sizeof(XCHAR) == 2, "XLOPER12 text is 16-bit code units");

// --- Type tags ---------------------------------------------------------------------------------

constexpr DWORD xltypeNum = 0x0001;
constexpr DWORD xltypeStr = 0x0002;
constexpr DWORD xltypeBool = 0x0004;
constexpr DWORD xltypeRef = 0x0008;
constexpr DWORD xltypeErr = 0x0010;
constexpr DWORD xltypeFlow = 0x0020;
constexpr DWORD xltypeMulti = 0x0040;
constexpr DWORD xltypeMissing = 0x0080;
constexpr DWORD xltypeNil = 0x0100;
constexpr DWORD xltypeSRef = 0x0400;
constexpr DWORD xltypeInt = 0x0800;
constexpr DWORD xltypeBigData = xltypeStr | xltypeInt;

// Memory bits of the published interface; this library never sets them on its values.
constexpr DWORD xlbitXLFree = 0x1000;
constexpr DWORD xlbitDLLFree = 0x4000;

// --- Error values ------------------------------------------------------------------------------

constexpr int xlerrNull = 0;
constexpr int xlerrDiv0 = 7;
constexpr int xlerrValue = 15;
constexpr int xlerrRef = 23;
constexpr int xlerrName = 29;
constexpr int xlerrNum = 36;
constexpr int xlerrNA = 42;
constexpr int xlerrGettingData = 43;

// --- Return codes ------------------------------------------------------------------------------

constexpr int xlretSuccess = 0;
constexpr int xlretAbort = 1;
constexpr int xlretInvXlfn = 2;
constexpr int xlretInvCount = 4;
constexpr int xlretInvXloper = 8;
constexpr int xlretStackOvfl = 16;
constexpr int xlretFailed = 32;
constexpr int xlretUncalced = 64;
constexpr int xlretNotThreadSafe = 128;

// --- Function numbers --------------------------------------------------------------------------

constexpr int xlSpecial = 0x4000;
constexpr int xlCommand = 0x8000;

constexpr int xlFree = 0 | xlSpecial;
constexpr int xlStack = 1 | xlSpecial;
constexpr int xlCoerce = 2 | xlSpecial;
constexpr int xlSet = 3 | xlSpecial;
constexpr int xlSheetId = 4 | xlSpecial;
constexpr int xlSheetNm = 5 | xlSpecial;
constexpr int xlAbort = 6 | xlSpecial;
constexpr int xlGetInst = 7 | xlSpecial;
constexpr int xlGetHwnd = 8 | xlSpecial;
constexpr int xlGetName = 9 | xlSpecial;

constexpr int xlfRegister = 149;
constexpr int xlfGetWorkspace = 186;
constexpr int xlfUnregister = 201;
constexpr int xlfRegisterId = 267;

constexpr int xlcMessage = 122 | xlCommand;

// --- Callback signatures -----------------------------------------------------------------------

// Exported by XLCALL32.DLL.
typedef int(__cdecl* EXCEL4PROC)(int xlfn, LPXLOPER result, int count, ...);
typedef int(__stdcall* EXCEL4VPROC)(int xlfn, LPXLOPER result, int count, LPXLOPER args[]);
typedef int(__stdcall* XLCALLVERPROC)();
// Exported by the Excel 2007 process itself.
typedef int(__stdcall* MDCALLBACK12PROC)(int xlfn, int count, LPXLOPER12* args, LPXLOPER12 result);

// The library's own Excel 12 entry points, reaching MdCallBack12 of the host process.
extern "C" int __cdecl Excel12(int xlfn, LPXLOPER12 result, int count, ...);
extern "C" int __stdcall Excel12v(int xlfn, LPXLOPER12 result, int count, LPXLOPER12 args[]);

// A value record of the running Excel, whichever layout that is: an XLOPER in Excel 4 mode, an
// XLOPER12 in Excel 12 mode. Worksheet functions take and return their values in this form.
typedef void* LPXLFOPER;
