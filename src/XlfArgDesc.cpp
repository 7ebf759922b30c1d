#include <vornix/XlfArgDesc.h>

#include "XlfLog.h"
#include <vornix/XlfExcel.h>

#include <ostream>

namespace vornix {

namespace {

// The function wizard shows about this many characters of an argument name.
constexpr std::size_t MaxWizardNameLength = 18;
const std::string CommentEnding = ". ";

} // namespace

XlfArgDesc::XlfArgDesc(const std::string& name, const std::string& comment, const std::string& type)
    : name_(name), comment_(comment), type_(type) {
    CheckNameLength();
    CheckComment();
}

void XlfArgDesc::SetName(const std::string& name) {
    name_ = name;
    CheckNameLength();
}

void XlfArgDesc::SetComment(const std::string& comment) {
    comment_ = comment;
    CheckComment();
}

void XlfArgDesc::CheckNameLength() const {
    if (name_.size() > MaxWizardNameLength)
        XlfLog::At(XlfLog::ArgumentNameLong)
            << "Argument name \"" << name_ << "\" may be too long to fit the in the function wizard"
            << std::endl;
}

// Excel shows the last argument's help text cut by two characters; ". " is what gets cut.
void XlfArgDesc::CheckComment() {
    const bool endsWell = comment_.size() >= CommentEnding.size() &&
                          comment_.compare(comment_.size() - CommentEnding.size(),
                                           CommentEnding.size(), CommentEnding) == 0;
    if (!endsWell)
        comment_ += CommentEnding;
}

std::string XlfArgDesc::TypeLetter() const {
    if (type_ == "XLF_OPER")
        return XlfExcel::Instance().OperTypeCode();
    if (type_ == "XLF_XLOPER")
        return XlfExcel::Instance().RefTypeCode();
    if (type_ == "VORNIX_WSTR")
        return XlfExcel::Instance().WideStringTypeCode();
    return type_;
}

} // namespace vornix
