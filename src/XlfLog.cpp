#include "XlfLog.h"

#include <iostream>
#include <string>

namespace vornix {

std::ostream& XlfLog::At(const char* unit, int line) {
    const std::string prefix =
        std::string("..\\..\\src\\") + unit + "(" + std::to_string(line) + "): ";
    return std::cerr << prefix;
}

} // namespace vornix
