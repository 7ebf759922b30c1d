#include <vornix/XlfExceptionStackOverflow.h>

namespace vornix {

XlfExceptionStackOverflow::XlfExceptionStackOverflow() : XlfException("stack overflow") {}

} // namespace vornix
