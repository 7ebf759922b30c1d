#include <vornix/XlfFuncDesc.h>

#include "XlfFuncDescImpl.h"
#include "XlfLog.h"
#include <vornix/XlfExcel.h>
#include <vornix/XlfOper.h>
#include <vornix/XlfOper4.h>

#include <new>
#include <ostream>
#include <vector>

namespace vornix {

XlfFuncDesc::XlfFuncDesc(const std::string& name, const std::string& alias,
                         const std::string& comment, const std::string& category, int volatility,
                         bool threadSafe, const std::string& returnType)
    : XlfAbstractCmdDesc(name, alias, comment),
      impl_(new XlfFuncDescImpl(volatility, category, threadSafe)), returnType_(returnType) {}

XlfFuncDesc::~XlfFuncDesc() = default;

void XlfFuncDesc::SetArguments(const XlfArgDescList& arguments) {
    impl_->arguments_ = arguments;
}

int XlfFuncDesc::DoRegister(const std::string& dllName) const {
    return RegisterAs(dllName, 1);
}

// Excel counts each registration of a function and unregisters it only when the count is back
// at zero, so the id must be had without registering again: REGISTER.ID answers the id of a
// registered function as it is.
int XlfFuncDesc::DoUnregister(const std::string& dllName) const {
    const XlfExcel& excel = XlfExcel::Instance();
    const XlfOper module(dllName), procedure(GetName());
    XlfOper answer;
    int code = excel.Call(xlfRegisterId, answer.AsValuePointer(), 2, module.AsValuePointer(),
                          procedure.AsValuePointer());
    if (code != 0)
        return code;
    const double id = answer.AsDouble(&code);
    if (code != 0)
        return code;
    XlfOper result;
    const XlfOper registrationId(id);
    return excel.Call(xlfUnregister, result.AsValuePointer(), 1, registrationId.AsValuePointer());
}

// "$" declares the function thread-safe; only the Excel 12 records know it. In Excel 4 mode
// Excel runs every function on its main thread, which the author hears of once per function.
std::string XlfFuncDesc::ThreadSafeMark() const {
    if (XlfExcel::Instance().IsExcel12Mode()) {
        return "$";
    }
    XlfLog::At(XlfLog::ThreadSafeDropped)
        << "Thread-safe flag of " << GetAlias()
        << " dropped: Excel 4 records cannot declare thread-safe functions" << std::endl;
    return "";
}

// REGISTER takes, in order: module, procedure, type text, function name, argument names, macro
// type, category, shortcut, help topic, function help, then one help text per argument. The
// values are Excel 4 records in every mode, since REGISTER goes through the Excel 4 entry.
int XlfFuncDesc::RegisterAs(const std::string& dllName, double macroType) const {
    std::string typeText = returnType_;
    std::string argumentText;
    const XlfArgDescList& arguments = impl_->arguments_;
    for (auto it = arguments.begin(); it != arguments.end(); ++it) {
        if (it != arguments.begin())
            argumentText += ", ";
        argumentText += it->GetName();
        typeText += it->TypeLetter();
    }
    if (impl_->volatility_ == 1)
        typeText += "!";
    if (impl_->threadSafe_) {
        typeText += ThreadSafeMark();
    }

    // Each wrapper goes at once; its record stays in temporary memory for the call.
    std::vector<LPXLOPER> values = {XlfOper4(dllName).AsXLOPER(),
                                    XlfOper4(GetName()).AsXLOPER(),
                                    XlfOper4(typeText).AsXLOPER(),
                                    XlfOper4(GetAlias()).AsXLOPER(),
                                    XlfOper4(argumentText).AsXLOPER(),
                                    XlfOper4(macroType).AsXLOPER(),
                                    XlfOper4(impl_->category_).AsXLOPER(),
                                    XlfOper4("").AsXLOPER(),
                                    XlfOper4("").AsXLOPER(),
                                    XlfOper4(GetComment()).AsXLOPER()};
    for (const XlfArgDesc& argument : arguments)
        values.push_back(XlfOper4(argument.GetComment()).AsXLOPER());
    for (LPXLOPER value : values)
        if (value == nullptr)
            throw std::bad_alloc();

    XlfOper4 result;
    return XlfExcel::Instance().Call4v(xlfRegister, result.AsXLOPER(),
                                       static_cast<int>(values.size()), values.data());
}

} // namespace vornix
