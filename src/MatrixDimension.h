// Table dimensions are 32-bit, as in Excel's array records. Where unsigned long is wider (64-bit
// Linux) a larger count is refused rather than silently truncated.
#pragma once

#include <cstdint>
#include <limits>
#include <stdexcept>

namespace vornix {

inline std::uint32_t CheckedDimension(unsigned long count) {
    if constexpr (std::numeric_limits<unsigned long>::max() >
                  std::numeric_limits<std::uint32_t>::max()) {
        if (count > std::numeric_limits<std::uint32_t>::max())
            throw std::length_error("matrix dimension exceeds 32 bits");
    }
    return static_cast<std::uint32_t>(count);
}

} // namespace vornix
