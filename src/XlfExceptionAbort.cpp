#include "XlfExceptionAbort.h"

namespace vornix {

XlfExceptionAbort::XlfExceptionAbort() : XlfException("abort") {}

} // namespace vornix
