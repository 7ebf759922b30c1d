#pragma once

#include <vornix/XlfArgDesc.h>

#include <string>

namespace vornix {

// Something the add-in registers with Excel under the add-in's own module name.
class XlfAbstractCmdDesc {
public:
    XlfAbstractCmdDesc(const std::string& name, const std::string& alias,
                       const std::string& comment);
    virtual ~XlfAbstractCmdDesc() = default;

    // Registers with Excel. Throws std::runtime_error when Excel does not give the add-in's
    // name; a refusal by Excel is logged and the call returns normally.
    void Register() const;
    void Unregister() const;

    const std::string& GetName() const { return name_; }
    const std::string& GetAlias() const { return alias_; }
    const std::string& GetComment() const { return comment_; }
    void SetName(const std::string& name) { name_ = name; }
    void SetAlias(const std::string& alias) { alias_ = alias; }
    void SetComment(const std::string& comment) { comment_ = comment; }
    void SetArguments(const XlfArgDescList& arguments) { arguments_ = arguments; }

protected:
    // Excel's return code of the registration under the module name dllName.
    virtual int DoRegister(const std::string& dllName) const = 0;
    virtual int DoUnregister(const std::string& dllName) const = 0;

private:
    static std::string ModuleName();

    std::string name_;
    std::string alias_;
    std::string comment_;
    XlfArgDescList arguments_;
};

} // namespace vornix
