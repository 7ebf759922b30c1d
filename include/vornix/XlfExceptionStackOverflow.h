// Excel reported that its stack is exhausted.
#pragma once

#include <vornix/XlfException.h>

namespace vornix {

class XlfExceptionStackOverflow : public XlfException {
public:
    XlfExceptionStackOverflow();
};

} // namespace vornix
