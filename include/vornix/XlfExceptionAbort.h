// Excel reported that the user cancelled the operation (Escape pressed).
#pragma once

#include <vornix/XlfException.h>

namespace vornix {

class XlfExceptionAbort : public XlfException {
public:
    XlfExceptionAbort();
};

} // namespace vornix
