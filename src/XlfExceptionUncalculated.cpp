#include <vornix/XlfExceptionUncalculated.h>

namespace vornix {

XlfExceptionUncalculated::XlfExceptionUncalculated() : XlfException("") {}

} // namespace vornix
