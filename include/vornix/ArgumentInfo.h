#pragma once

namespace vornix {

// One worksheet argument in a static function table.
struct ArgumentInfo {
    const char* name;
    const char* description;
    // "XLF_OPER" (a value record of the running Excel), "B" (a double), or another Excel type
    // text passed through unchanged.
    const char* type;
};

} // namespace vornix
