#include <vornix/XlfExceptionAbort.h>

namespace vornix {

XlfExceptionAbort::XlfExceptionAbort() : XlfException("abort") {}

} // namespace vornix
