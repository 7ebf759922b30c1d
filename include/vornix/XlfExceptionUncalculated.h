// Excel was asked for a cell that is not yet calculated; it will call the function again.
#pragma once

#include <vornix/XlfException.h>

namespace vornix {

class XlfExceptionUncalculated : public XlfException {
public:
    XlfExceptionUncalculated();
};

} // namespace vornix
