#include <vornix/XlfOper.h>

#include "ReturnCode.h"
#include "XlfConversion.h"
#include "XlfOperImpl.h"

namespace vornix {

namespace {

const char* const InvalidCountText = "invalid number of arguments";

} // namespace

const XlfOperImpl& XlfOper::Impl() {
    return XlfOperImpl::Current();
}

XlfOper::XlfOper() {
    Impl().Allocate(*this);
}

XlfOper::XlfOper(LPXLFOPER record) : XlfValueShell(XlfRecordHandle(record, false)) {}

XlfOper::XlfOper(double value) : XlfOper() {
    Impl().SetNumber(*this, value);
}

XlfOper::XlfOper(bool value) : XlfOper() {
    Impl().SetBool(*this, value);
}

XlfOper::XlfOper(short value) : XlfOper() {
    Impl().SetInt(*this, value);
}

XlfOper::XlfOper(short value, bool asError) : XlfOper() {
    Impl().SetIntOrError(*this, value, asError);
}

XlfOper::XlfOper(const char* text) : XlfOper() {
    Impl().SetString(*this, text);
}

XlfOper::XlfOper(const std::string& text) : XlfOper() {
    Impl().SetString(*this, text.c_str());
}

XlfOper::XlfOper(const std::wstring& text) : XlfOper() {
    Impl().SetWideString(*this, text);
}

XlfOper::XlfOper(const CellMatrix& cells) : XlfOper() {
    Impl().SetCellMatrix(*this, cells);
}

XlfOper::~XlfOper() {
    // Only a record a call to Excel filled has anything to free, and such a record implies an
    // implementation.
    if (const XlfOperImpl* impl = XlfOperImpl::CurrentOrNull())
        impl->FreeIfExcelOwned(*this);
}

XlfOper XlfOper::Error(WORD code) {
    XlfOper value;
    try {
        Impl().SetError(value, code);
    } catch (...) {
        Impl().FreeIfExcelOwned(value);
        throw;
    }
    return value;
}

std::wstring XlfOper::AsWideString(int* err) const {
    return XlfConversion<XlfOper>::Run(
        std::wstring(), [this](std::wstring& out) { return Impl().AsWideString(*this, out); }, err,
        nullptr);
}

std::string XlfOper::TypeName() const {
    return vornix::TypeName(GetType());
}
bool XlfOper::IsMissing() const {
    return Impl().IsMissing(*this);
}
bool XlfOper::IsError() const {
    return Impl().IsError(*this);
}
bool XlfOper::IsRef() const {
    return Impl().IsRef(*this);
}
bool XlfOper::IsSRef() const {
    return Impl().IsSRef(*this);
}
bool XlfOper::IsMulti() const {
    return Impl().IsMulti(*this);
}
bool XlfOper::IsNumber() const {
    return Impl().IsNumber(*this);
}
bool XlfOper::IsString() const {
    return Impl().IsString(*this);
}
bool XlfOper::IsNil() const {
    return Impl().IsNil(*this);
}
bool XlfOper::IsBool() const {
    return Impl().IsBool(*this);
}
bool XlfOper::IsInt() const {
    return Impl().IsInt(*this);
}

XlfOper XlfOper::operator()(int row, int column) const {
    XlfOper element(static_cast<LPXLFOPER>(nullptr));
    Impl().ElementAt(element, *this, row, column);
    return element;
}

XlfOper& XlfOper::SetElement(int row, int column, const XlfOper& value) {
    return Impl().SetElement(*this, row, column, value);
}

LPXLFOPER XlfOper::AsValuePointer() const {
    return Impl().AsValuePointer(*this);
}
LPXLOPER XlfOper::AsXLOPER() const {
    return Impl().AsXLOPER(*this);
}
LPXLOPER12 XlfOper::AsXLOPER12() const {
    return Impl().AsXLOPER12(*this);
}

int XlfOper::ThrowOnError(int code) {
    return ThrowOnReturnCodeWithoutContext(code, InvalidCountText);
}

int XlfOper::ThrowOnError(int code, const std::string& context) {
    return ThrowOnReturnCode(code, context);
}

} // namespace vornix
