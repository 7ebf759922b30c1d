// What a call to the stand-in answers in its result record.
#pragma once

#include "HostValue.h"

namespace xlstandin {

struct Answer {
    HostValue value;
    // The number goes out as xltypeInt rather than xltypeNum.
    bool asInt = false;
    // When set, the answer is this handle in an xltypeBigData record instead of the value.
    void* handle = nullptr;
};

} // namespace xlstandin
