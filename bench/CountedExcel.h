// Puts counting entries in front of the Excel stand-in's callbacks (XLCALL32.DLL's Excel4 and
// Excel4v, the process's MdCallBack12): each call is counted, and the stand-in's own work is
// marked as not the library's, so that its allocations are left out of the library's count.
#pragma once

class CountedExcel {
public:
    // After ExcelStandIn::Install and before the gateway loads XLCALL32.DLL.
    static void Install();
    static unsigned long long Callbacks();
};
