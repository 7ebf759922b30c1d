#pragma once

#include <vornix/XlfArgDesc.h>

#include <string>

namespace vornix {

// The registration details of a worksheet function kept by XlfFuncDesc.
struct XlfFuncDescImpl {
    XlfFuncDescImpl(int volatility, const std::string& category, bool threadSafe)
        : volatility_(volatility), category_(category), threadSafe_(threadSafe) {}

    int volatility_; // 1 marks a volatile function
    std::string category_;
    XlfArgDescList arguments_;
    bool threadSafe_; // told to Excel in Excel 12 mode only
};

} // namespace vornix
