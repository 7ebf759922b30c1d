#pragma once

#include <vornix/ArgumentInfo.h>

#include <string>

namespace vornix {

// Declares a worksheet function where it is defined: a static FunctionDeclaration adds the
// function's record to the registry while the library loads, and xlAutoOpen registers it.
class FunctionDeclaration {
public:
    FunctionDeclaration(const std::string& exportName, const std::string& excelName,
                        const std::string& helpText, const std::string& category,
                        const ArgumentInfo* arguments, int argumentCount, bool isVolatile,
                        bool threadSafe, const std::string& returnTypeCode);
};

} // namespace vornix
