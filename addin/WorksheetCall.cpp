#include "WorksheetCall.h"

#include <cmath>
#include <cstdint>
#include <limits>

int WorksheetCall::Count(double value) {
    if (std::isnan(value))
        return 0;
    const double truncated = std::trunc(value);
    if (truncated <= std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    if (truncated >= std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<int>(truncated);
}
