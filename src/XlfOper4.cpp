#include <vornix/XlfOper4.h>

#include "ReturnCode.h"
#include "XlfOper4Impl.h"

namespace vornix {

namespace {

const char* const InvalidCountText = "invalid number of argument";

} // namespace

const XlfOper4Impl& XlfOper4::Impl() {
    static const XlfOper4Impl impl;
    return impl;
}

XlfOper4::XlfOper4() {
    Allocate();
}

XlfOper4::XlfOper4(LPXLOPER record) : XlfValueShell(XlfRecordHandle(record, false)) {}

XlfOper4::XlfOper4(double value) : XlfOper4() {
    SetNumber(value);
}

XlfOper4::XlfOper4(short value) : XlfOper4() {
    SetInt(value);
}

XlfOper4::XlfOper4(short value, bool asError) : XlfOper4() {
    SetIntOrError(value, asError);
}

XlfOper4::XlfOper4(bool value) : XlfOper4() {
    SetBool(value);
}

XlfOper4::XlfOper4(const char* text) : XlfOper4() {
    SetString(text);
}

XlfOper4::XlfOper4(const std::string& text) : XlfOper4() {
    SetString(text.c_str());
}

XlfOper4::~XlfOper4() {
    Impl().FreeIfExcelOwned(*this);
}

int XlfOper4::Allocate() {
    return Impl().Allocate(*this);
}

void XlfOper4::Free() {
    Impl().FreeThroughExcel(*this);
}

int XlfOper4::Coerce(const XlfOper4& source, WORD type, XlfOper4& result) {
    return Impl().Coerce(source, type, result);
}

int XlfOper4::ThrowOnError(int code) {
    return ThrowOnReturnCodeWithoutContext(code, InvalidCountText);
}

int XlfOper4::ThrowOnError(int code, const std::string& context) {
    return ThrowOnReturnCode(code, context);
}

XlfOper4& XlfOper4::SetNumber(double value) {
    return Impl().SetNumber(*this, value);
}

XlfOper4& XlfOper4::SetInt(short value) {
    return Impl().SetInt(*this, value);
}

XlfOper4& XlfOper4::SetIntOrError(short value, bool asError) {
    return Impl().SetIntOrError(*this, value, asError);
}

XlfOper4& XlfOper4::SetBool(bool value) {
    return Impl().SetBool(*this, value);
}

XlfOper4& XlfOper4::SetError(WORD code) {
    return Impl().SetError(*this, code);
}

XlfOper4& XlfOper4::SetString(const char* text) {
    return Impl().SetString(*this, text);
}

XlfOper4& XlfOper4::SetRef(const XlfRange& range) {
    return Impl().SetRef(*this, range);
}

XlfOper4& XlfOper4::SetMulti(int rows, int columns) {
    return Impl().SetMulti(*this, rows, columns);
}

XlfOper4& XlfOper4::SetElement(int row, int column, const XlfOper4& value) {
    return Impl().SetElement(*this, row, column, value);
}

XlfOper4& XlfOper4::SetCellMatrix(const CellMatrix& cells) {
    return Impl().SetCellMatrix(*this, cells);
}

XlfOper4 XlfOper4::ElementAt(int row, int column) const {
    XlfOper4 element(static_cast<LPXLOPER>(nullptr));
    Impl().ElementAt(element, *this, row, column);
    return element;
}

XlfOper4 XlfOper4::RangeElement(const XlfRange& range, int row, int column) {
    XlfOper4 reference;
    reference.SetRef(range.Cell(row, column));
    return reference;
}

} // namespace vornix
