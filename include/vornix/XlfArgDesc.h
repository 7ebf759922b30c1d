#pragma once

#include <list>
#include <string>

namespace vornix {

// One argument of a function to register: its name, its help text and its type tag. The tags
// "XLF_OPER", "XLF_XLOPER" and "VORNIX_WSTR" stand for the registration letters of the running
// Excel; any other tag is an Excel type text passed through unchanged.
class XlfArgDesc {
public:
    XlfArgDesc() = default;
    // Warns about a name too long for the function wizard and ends the help text with ". ".
    XlfArgDesc(const std::string& name, const std::string& comment, const std::string& type);

    void SetName(const std::string& name);
    void SetComment(const std::string& comment);
    const std::string& GetName() const { return name_; }
    const std::string& GetComment() const { return comment_; }
    const std::string& GetType() const { return type_; }

    // The registration type letters of this argument under the running Excel.
    std::string TypeLetter() const;

private:
    void CheckNameLength() const;
    void CheckComment();

    std::string name_;
    std::string comment_;
    std::string type_;
};

typedef std::list<XlfArgDesc> XlfArgDescList;

} // namespace vornix
