#include <vornix/XlfAbstractCmdDesc.h>

#include "XlfLog.h"
#include <vornix/XlfExcel.h>

#include <ostream>
#include <stdexcept>

namespace vornix {

XlfAbstractCmdDesc::XlfAbstractCmdDesc(const std::string& name, const std::string& alias,
                                       const std::string& comment)
    : name_(name), alias_(alias), comment_(comment) {}

std::string XlfAbstractCmdDesc::ModuleName() {
    std::string name = XlfExcel::Instance().GetName();
    if (name.empty())
        throw std::runtime_error("Could not get library name");
    return name;
}

void XlfAbstractCmdDesc::Register() const {
    const int code = DoRegister(ModuleName());
    if (code != 0)
        XlfLog::At(XlfLog::RegisterFailed)
            << "Error " << code << " while registering " << alias_ << std::endl;
}

void XlfAbstractCmdDesc::Unregister() const {
    const int code = DoUnregister(ModuleName());
    if (code != 0)
        XlfLog::At(XlfLog::UnregisterFailed)
            << "Error " << code << " while registering " << alias_ << std::endl;
}

} // namespace vornix
