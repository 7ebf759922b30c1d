// Excel4 receives its records as variadic arguments, Excel4v as an array; Excel4 gathers them.
#pragma once

#include <vornix/ExcelApi.h>

#include <cstdarg>

namespace xlstandin {

// More records than any Excel function takes.
constexpr int MaxCallbackRecords = 255;

inline int ForwardExcel4(EXCEL4VPROC excel4v, int xlfn, LPXLOPER result, int count,
                         va_list records) {
    if (count < 0 || count > MaxCallbackRecords) {
        return xlretInvCount;
    }
    LPXLOPER array[MaxCallbackRecords];
    for (int i = 0; i < count; ++i) {
        array[i] = va_arg(records, LPXLOPER);
    }
    return excel4v(xlfn, result, count, array);
}

} // namespace xlstandin
