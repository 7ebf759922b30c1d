#include <vornix/FunctionDeclaration.h>

#include "RegistrationRecord.h"
#include "RegistrationRegistry.h"

namespace vornix {

FunctionDeclaration::FunctionDeclaration(const std::string& exportName,
                                         const std::string& excelName, const std::string& helpText,
                                         const std::string& category, const ArgumentInfo* arguments,
                                         int argumentCount, bool isVolatile, bool threadSafe,
                                         const std::string& returnTypeCode) {
    RegistrationRecord record;
    record.exportName = exportName;
    record.excelName = excelName;
    record.helpText = helpText;
    record.category = category;
    record.argumentCount = argumentCount;
    for (int i = 0; i < argumentCount; ++i) {
        record.argumentNames.push_back(arguments[i].name);
        record.argumentHelpTexts.push_back(arguments[i].description);
        record.argumentTypes.push_back(arguments[i].type);
    }
    record.isVolatile = isVolatile;
    record.threadSafe = threadSafe;
    record.returnTypeCode = returnTypeCode;
    RegistrationRegistry::Instance().Add(record);
}

} // namespace vornix
