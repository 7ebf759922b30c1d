#include "RegistrationRegistry.h"

#include <vornix/XlfExcel.h>
#include <vornix/XlfFuncDesc.h>

namespace vornix {

RegistrationRegistry& RegistrationRegistry::Instance() {
    static RegistrationRegistry registry;
    return registry;
}

void RegistrationRegistry::Add(const RegistrationRecord& record) {
    records_.push_back(record);
}

int RegistrationRegistry::RegisterAll() const {
    for (const RegistrationRecord& record : records_) {
        const std::string returnType = record.returnTypeCode.empty()
                                           ? XlfExcel::Instance().OperTypeCode()
                                           : record.returnTypeCode;
        XlfFuncDesc function(record.exportName, record.excelName, record.helpText, record.category,
                             record.isVolatile ? 1 : 0, record.threadSafe, returnType);
        XlfArgDescList arguments;
        for (std::int32_t i = 0; i < record.argumentCount; ++i)
            arguments.emplace_back(record.argumentNames.at(i), record.argumentHelpTexts.at(i),
                                   record.argumentTypes.at(i));
        function.SetArguments(arguments);
        function.Register();
    }
    return 0;
}

} // namespace vornix
