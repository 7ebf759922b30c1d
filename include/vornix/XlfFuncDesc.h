#pragma once

#include <vornix/XlfAbstractCmdDesc.h>

#include <memory>
#include <string>

namespace vornix {

struct XlfFuncDescImpl;

// A worksheet function to register with Excel's REGISTER: export name, Excel name, help text,
// category, arguments, flags and the type text of its result.
class XlfFuncDesc : public XlfAbstractCmdDesc {
public:
    XlfFuncDesc(const std::string& name, const std::string& alias, const std::string& comment,
                const std::string& category, int volatility, bool threadSafe,
                const std::string& returnType);
    ~XlfFuncDesc() override;

    void SetArguments(const XlfArgDescList& arguments);

protected:
    int DoRegister(const std::string& dllName) const override;
    // Learns the function's identifier through REGISTER.ID, which does not count a use, then
    // unregisters it once.
    int DoUnregister(const std::string& dllName) const override;

private:
    int RegisterAs(const std::string& dllName, double macroType) const;
    std::string ThreadSafeMark() const;

    std::unique_ptr<XlfFuncDescImpl> impl_;
    std::string returnType_;
};

} // namespace vornix
