// The library's Excel 12 entry points. Excel 2007 and later export MdCallBack12 from their own
// process; it is looked up there on first use, and again at the next call while it is missing.
#include <vornix/ExcelApi.h>

#include <windows.h>

#include <cstdarg>

namespace {

constexpr int MaxArguments = 255;

HMODULE excelModule = nullptr;
MDCALLBACK12PROC mdCallBack12 = nullptr;

MDCALLBACK12PROC FindCallback() {
    if (mdCallBack12 == nullptr) {
        excelModule = GetModuleHandleA(nullptr);
        if (excelModule != nullptr)
            mdCallBack12 = reinterpret_cast<MDCALLBACK12PROC>(
                reinterpret_cast<void (*)()>(GetProcAddress(excelModule, "MdCallBack12")));
    }
    return mdCallBack12;
}

} // namespace

extern "C" int __cdecl Excel12(int xlfn, LPXLOPER12 result, int count, ...) {
    MDCALLBACK12PROC callback = FindCallback();
    if (callback == nullptr)
        return xlretFailed;
    if (count < 0 || count > MaxArguments)
        return xlretInvCount;
    LPXLOPER12 args[MaxArguments + 1] = {};
    va_list list;
    va_start(list, count);
    for (int i = 0; i < count; ++i)
        args[i] = va_arg(list, LPXLOPER12);
    va_end(list);
    return callback(xlfn, count, args, result);
}

extern "C" int __stdcall Excel12v(int xlfn, LPXLOPER12 result, int count, LPXLOPER12 args[]) {
    MDCALLBACK12PROC callback = FindCallback();
    if (callback == nullptr)
        return xlretFailed;
    return callback(xlfn, count, args, result);
}
