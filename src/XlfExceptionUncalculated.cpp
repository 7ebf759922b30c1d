#include "XlfExceptionUncalculated.h"

namespace vornix {

XlfExceptionUncalculated::XlfExceptionUncalculated() : XlfException("") {}

} // namespace vornix
