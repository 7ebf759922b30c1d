#include "XlfOper.h"

#include "ReturnCode.h"
#include "XlfConversion.h"
#include "XlfOperImpl.h"

namespace vornix {

namespace {

const char* const InvalidCountText = "invalid number of arguments";
using Conversion = XlfConversion<XlfOper>;

} // namespace

const XlfOperImpl& XlfOper::Impl() {
    return XlfOperImpl::Current();
}

XlfOper::XlfOper() : record_(nullptr) {
    Impl().Allocate(*this);
}

XlfOper::XlfOper(LPXLFOPER record) : record_(record) {}

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

XlfOper::XlfOper(const XlfOper& other) : record_(nullptr) {
    Impl().Assign(*this, other);
}

XlfOper& XlfOper::operator=(const XlfOper& other) {
    if (this != &other)
        Impl().Assign(*this, other);
    return *this;
}

XlfOper::~XlfOper() {
    // Only a record marked by a call to Excel has anything to free, and such a record implies
    // an implementation.
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

double XlfOper::AsDouble(int* err) const {
    return Conversion::Run(
        0.0, [this](double& out) { return Impl().AsDouble(*this, out); }, err, nullptr);
}

double XlfOper::AsDouble(const std::string& name, int* err) const {
    const auto context = [&]() -> std::string { return "Conversion to double " + name; };
    return Conversion::Run(
        0.0, [this](double& out) { return Impl().AsDouble(*this, out); }, err, context);
}

std::vector<double> XlfOper::AsDoubleVector(int order, int* err) const {
    return Conversion::Run(
        std::vector<double>(),
        [this, order](std::vector<double>& out) {
            return Impl().AsDoubleVector(*this, out, order);
        },
        err, nullptr);
}

std::vector<double> XlfOper::AsDoubleVector(const std::string& name, int order, int* err) const {
    const auto context = [&]() -> std::string { return name + " conversion to double vector"; };
    return Conversion::Run(
        std::vector<double>(),
        [this, order](std::vector<double>& out) {
            return Impl().AsDoubleVector(*this, out, order);
        },
        err, context);
}

std::vector<double> XlfOper::AsArray(int order, int* err) const {
    const std::vector<double> values = AsDoubleVector(order, err);
    return std::vector<double>(values.begin(), values.end());
}

std::vector<double> XlfOper::AsArray(const std::string& name, int order, int* err) const {
    const std::vector<double> values = AsDoubleVector(name, order, err);
    return std::vector<double>(values.begin(), values.end());
}

short XlfOper::AsShort(int* err) const {
    return Conversion::Run(
        short{0}, [this](short& out) { return Impl().AsShort(*this, out); }, err, nullptr);
}

short XlfOper::AsShort(const std::string& name, int* err) const {
    const auto context = [&]() -> std::string { return name + " conversion to short failed"; };
    return Conversion::Run(
        short{0}, [this](short& out) { return Impl().AsShort(*this, out); }, err, context);
}

bool XlfOper::AsBool(int* err) const {
    return Conversion::Run(
        false, [this](bool& out) { return Impl().AsBool(*this, out); }, err, nullptr);
}

bool XlfOper::AsBool(const std::string& name, int* err) const {
    const auto context = [&]() -> std::string { return name + " conversion to bool failed"; };
    return Conversion::Run(
        false, [this](bool& out) { return Impl().AsBool(*this, out); }, err, context);
}

DoubleMatrix XlfOper::AsMatrix(int* err) const {
    const auto context = [&]() -> std::string { return " conversion to matrix failed"; };
    return Conversion::Run(
        DoubleMatrix(0, 0), [this](DoubleMatrix& out) { return Impl().AsMatrix(*this, out); }, err,
        context);
}

DoubleMatrix XlfOper::AsMatrix(const std::string& name, int* err) const {
    const auto context = [&]() -> std::string { return name + " conversion to matrix failed"; };
    return Conversion::Run(
        DoubleMatrix(0, 0), [this](DoubleMatrix& out) { return Impl().AsMatrix(*this, out); }, err,
        context);
}

CellMatrix XlfOper::AsCellMatrix(int* err) const {
    const auto context = [&]() -> std::string { return " conversion to cell matrix failed"; };
    return Conversion::Run(
        CellMatrix(1, 1), [this](CellMatrix& out) { return Impl().AsCellMatrix(*this, out); }, err,
        context);
}

CellMatrix XlfOper::AsCellMatrix(const std::string& name, int* err) const {
    const auto context = [&]() -> std::string {
        return name + " conversion to cell matrix failed";
    };
    return Conversion::Run(
        CellMatrix(1, 1), [this](CellMatrix& out) { return Impl().AsCellMatrix(*this, out); }, err,
        context);
}

char* XlfOper::AsString(int* err) const {
    return Conversion::Run(
        static_cast<char*>(nullptr), [this](char*& out) { return Impl().AsString(*this, out); },
        err, nullptr);
}

char* XlfOper::AsString(const std::string& name, int* err) const {
    const auto context = [&]() -> std::string { return name + " conversion to char* failed"; };
    return Conversion::Run(
        static_cast<char*>(nullptr), [this](char*& out) { return Impl().AsString(*this, out); },
        err, context);
}

std::wstring XlfOper::AsWideString(int* err) const {
    return Conversion::Run(
        std::wstring(), [this](std::wstring& out) { return Impl().AsWideString(*this, out); }, err,
        nullptr);
}

XlfRange XlfOper::AsRef(int* err) const {
    return Conversion::Run(
        XlfRange(), [this](XlfRange& out) { return Impl().AsRef(*this, out); }, err, nullptr);
}

XlfOper& XlfOper::Set(const DoubleMatrix& matrix) {
    if (matrix.RowCount() == 0 || matrix.ColumnCount() == 0)
        return *this;
    return Impl().SetCellMatrix(*this, CellMatrix(matrix));
}

XlfOper& XlfOper::Set(const std::vector<double>& values) {
    if (values.empty())
        return *this;
    return Impl().SetCellMatrix(*this, CellMatrix(values));
}

DWORD XlfOper::GetType() const {
    return Impl().GetType(*this);
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
int XlfOper::Rows() const {
    return Impl().Rows(*this);
}
int XlfOper::Columns() const {
    return Impl().Columns(*this);
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
