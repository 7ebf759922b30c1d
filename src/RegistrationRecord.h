#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vornix {

// One worksheet function's registration data, held by the registry from load to exit.
struct RegistrationRecord {
    std::string exportName;
    std::string excelName;
    std::string helpText;
    std::string category;
    std::int32_t argumentCount = 0;
    std::vector<std::string> argumentNames;
    std::vector<std::string> argumentHelpTexts;
    std::vector<std::string> argumentTypes;
    bool isVolatile = false;
    bool threadSafe = false;
    // Excel type text of the result; empty means the value record of the running Excel.
    std::string returnTypeCode;
};

} // namespace vornix
