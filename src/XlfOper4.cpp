#include "XlfOper4.h"

#include "ReturnCode.h"
#include "XlfConversion.h"
#include "XlfLog.h"
#include "XlfOperImpl4.h"
#include "XlfRecordOps.h"

#include <ostream>

namespace vornix {

namespace {

using Ops = XlfRecordOps<XLOPER>;

const char* const InvalidCountText = "invalid number of argument";
using Conversion = XlfConversion<XlfOper4>;

} // namespace

XlfOper4::XlfOper4() : record_(nullptr) {
    Allocate();
}

XlfOper4::XlfOper4(LPXLOPER record) : record_(record) {}

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

XlfOper4::XlfOper4(const XlfOper4& other) : record_(other.record_) {}

XlfOper4& XlfOper4::operator=(const XlfOper4& other) {
    record_ = other.record_;
    return *this;
}

XlfOper4::~XlfOper4() {
    if (record_ != nullptr && (record_->xltype & xlbitExcelOwned) != 0) {
        record_->xltype = static_cast<WORD>(record_->xltype & ~xlbitExcelOwned);
        Free();
    }
}

int XlfOper4::Allocate() {
    record_ = Ops::NewRecord();
    return record_ == nullptr ? xlretInvXloper : xlretSuccess;
}

void XlfOper4::Free() {
    int code = xlretFailed;
    try {
        LPXLOPER args[] = {record_};
        code = XlfExcel::Instance().Call4v(xlFree, nullptr, 1, args);
    } catch (...) {
        // Freeing runs in destructors: a gateway that cannot be had counts as a refusal.
    }
    if (code != xlretSuccess)
        XlfLog::At("XlfOper4", 81) << "Call to xlFree failed" << std::endl;
}

int XlfOper4::Coerce(const XlfOper4& source, WORD type, XlfOper4& result) {
    if (source.record_ == nullptr || result.record_ == nullptr)
        return xlretInvXloper;
    const XlfOper4 wanted(static_cast<short>(type));
    if (wanted.record_ == nullptr)
        return xlretInvXloper;
    LPXLOPER args[] = {source.record_, wanted.record_};
    return XlfExcel::Instance().Call4v(xlCoerce, result.record_, 2, args);
}

int XlfOper4::ThrowOnError(int code) {
    return ThrowOnReturnCodeWithoutContext(code, InvalidCountText);
}

int XlfOper4::ThrowOnError(int code, const std::string& context) {
    return ThrowOnReturnCode(code, context);
}

// --- Setters -------------------------------------------------------------------------------

XlfOper4& XlfOper4::SetNumber(double value) {
    if (record_ != nullptr) {
        record_->val.num = value;
        record_->xltype = xltypeNum;
    }
    return *this;
}

XlfOper4& XlfOper4::SetInt(short value) {
    if (record_ != nullptr) {
        record_->val.w = value;
        record_->xltype = xltypeInt;
    }
    return *this;
}

XlfOper4& XlfOper4::SetIntOrError(short value, bool asError) {
    if (asError)
        return SetError(static_cast<WORD>(value));
    return SetInt(value);
}

XlfOper4& XlfOper4::SetBool(bool value) {
    if (record_ != nullptr) {
        record_->val.xbool = value ? 1 : 0;
        record_->xltype = xltypeBool;
    }
    return *this;
}

XlfOper4& XlfOper4::SetError(WORD code) {
    if (record_ != nullptr) {
        record_->val.err = code;
        record_->xltype = xltypeErr;
    }
    return *this;
}

XlfOper4& XlfOper4::SetString(const char* text) {
    if (record_ != nullptr && !XlfOperImpl4::SetByteString(*record_, text, "XlfOper4", 968))
        record_ = nullptr;
    return *this;
}

XlfOper4& XlfOper4::SetRef(const XlfRange& range) {
    if (record_ != nullptr && !Ops::SetRef(*record_, range))
        record_ = nullptr;
    return *this;
}

XlfOper4& XlfOper4::SetMulti(int rows, int columns) {
    if (record_ != nullptr)
        Ops::SetMulti(*record_, rows, columns);
    return *this;
}

XlfOper4& XlfOper4::SetElement(int row, int column, const XlfOper4& value) {
    Ops::SetElement(Ops::Element(record_, row, column), value.record_);
    return *this;
}

XlfOper4& XlfOper4::SetCellMatrix(const CellMatrix& cells) {
    if (record_ == nullptr)
        return *this;
    Ops::SetCellMatrix(*record_, cells, [](const MatrixCell& cell) {
        XlfOper4 value;
        if (cell.IsNumberCell())
            value.SetNumber(cell.GetNumber());
        else if (cell.IsStringCell())
            value.SetString(cell.GetString().c_str());
        else if (cell.IsBooleanCell())
            value.SetBool(cell.GetBoolean());
        else if (cell.IsErrorCell())
            value.SetError(static_cast<WORD>(cell.GetErrorCode()));
        else
            value.SetString("");
        XLOPER copy;
        if (value.record_ != nullptr)
            copy = *value.record_;
        else
            Ops::MakeNil(copy);
        return copy;
    });
    return *this;
}

XlfOper4& XlfOper4::Set(const DoubleMatrix& matrix) {
    if (matrix.RowCount() == 0 || matrix.ColumnCount() == 0)
        return *this;
    return SetCellMatrix(CellMatrix(matrix));
}

XlfOper4& XlfOper4::Set(const std::vector<double>& values) {
    if (values.empty())
        return *this;
    return SetCellMatrix(CellMatrix(values));
}

// --- Queries -------------------------------------------------------------------------------

DWORD XlfOper4::GetType() const {
    return Ops::TypeOf(record_);
}

int XlfOper4::Rows() const {
    return static_cast<int>(Ops::Rows(Ops::RequireMulti(record_)));
}

int XlfOper4::Columns() const {
    return static_cast<int>(Ops::Columns(Ops::RequireMulti(record_)));
}

XlfOper4 XlfOper4::ElementAt(int row, int column) const {
    return XlfOper4(&Ops::Element(record_, row, column));
}

XlfOper4 XlfOper4::RangeElement(const XlfRange& range, int row, int column) {
    XlfOper4 reference;
    reference.SetRef(range.Cell(row, column));
    return reference;
}

// --- Conversions ---------------------------------------------------------------------------

double XlfOper4::AsDouble(int* err) const {
    return Conversion::Run(
        0.0, [this](double& out) { return ConvertDouble(out); }, err, nullptr);
}

double XlfOper4::AsDouble(const std::string& name, int* err) const {
    const auto context = [&]() -> std::string { return "Conversion to double " + name; };
    return Conversion::Run(
        0.0, [this](double& out) { return ConvertDouble(out); }, err, context);
}

std::vector<double> XlfOper4::AsDoubleVector(int order, int* err) const {
    return Conversion::Run(
        std::vector<double>(),
        [this, order](std::vector<double>& out) { return ConvertDoubleVector(out, order); }, err,
        nullptr);
}

std::vector<double> XlfOper4::AsDoubleVector(const std::string& name, int order, int* err) const {
    const auto context = [&]() -> std::string { return name + " conversion to double vector"; };
    return Conversion::Run(
        std::vector<double>(),
        [this, order](std::vector<double>& out) { return ConvertDoubleVector(out, order); }, err,
        context);
}

std::vector<double> XlfOper4::AsArray(int order, int* err) const {
    const std::vector<double> values = AsDoubleVector(order, err);
    return std::vector<double>(values.begin(), values.end());
}

std::vector<double> XlfOper4::AsArray(const std::string& name, int order, int* err) const {
    const std::vector<double> values = AsDoubleVector(name, order, err);
    return std::vector<double>(values.begin(), values.end());
}

short XlfOper4::AsShort(int* err) const {
    return Conversion::Run(
        short{0}, [this](short& out) { return ConvertShort(out); }, err, nullptr);
}

short XlfOper4::AsShort(const std::string& name, int* err) const {
    const auto context = [&]() -> std::string { return name + " conversion to short failed"; };
    return Conversion::Run(
        short{0}, [this](short& out) { return ConvertShort(out); }, err, context);
}

bool XlfOper4::AsBool(int* err) const {
    return Conversion::Run(
        false, [this](bool& out) { return ConvertBool(out); }, err, nullptr);
}

bool XlfOper4::AsBool(const std::string& name, int* err) const {
    const auto context = [&]() -> std::string { return name + " conversion to bool failed"; };
    return Conversion::Run(
        false, [this](bool& out) { return ConvertBool(out); }, err, context);
}

DoubleMatrix XlfOper4::AsMatrix(int* err) const {
    const auto context = [&]() -> std::string { return " conversion to matrix failed"; };
    return Conversion::Run(
        DoubleMatrix(0, 0), [this](DoubleMatrix& out) { return ConvertMatrix(out); }, err, context);
}

DoubleMatrix XlfOper4::AsMatrix(const std::string& name, int* err) const {
    const auto context = [&]() -> std::string { return name + " conversion to matrix failed"; };
    return Conversion::Run(
        DoubleMatrix(0, 0), [this](DoubleMatrix& out) { return ConvertMatrix(out); }, err, context);
}

CellMatrix XlfOper4::AsCellMatrix(int* err) const {
    const auto context = [&]() -> std::string { return " conversion to cell matrix failed"; };
    return Conversion::Run(
        CellMatrix(1, 1), [this](CellMatrix& out) { return ConvertCellMatrix(out); }, err, context);
}

CellMatrix XlfOper4::AsCellMatrix(const std::string& name, int* err) const {
    const auto context = [&]() -> std::string {
        return name + " conversion to cell matrix failed";
    };
    return Conversion::Run(
        CellMatrix(1, 1), [this](CellMatrix& out) { return ConvertCellMatrix(out); }, err, context);
}

char* XlfOper4::AsString(int* err) const {
    return Conversion::Run(
        static_cast<char*>(nullptr), [this](char*& out) { return ConvertString(out); }, err,
        nullptr);
}

char* XlfOper4::AsString(const std::string& name, int* err) const {
    const auto context = [&]() -> std::string { return name + " conversion to char* failed"; };
    return Conversion::Run(
        static_cast<char*>(nullptr), [this](char*& out) { return ConvertString(out); }, err,
        context);
}

XlfRange XlfOper4::AsRef(int* err) const {
    return Conversion::Run(
        XlfRange(), [this](XlfRange& out) { return ConvertRef(out); }, err, nullptr);
}

// Read directly when the record holds the wanted kind; otherwise Excel coerces it into a record
// of our own, which is read and then handed back to Excel as its wrapper goes. A coercion that
// does not give the wanted kind fails.
template <typename ReadDirectly, typename ReadCoerced>
int XlfOper4::Convert(DWORD wanted, ReadDirectly readDirectly, ReadCoerced readCoerced) const {
    if (record_ == nullptr)
        return xlretInvXloper;
    if (readDirectly(*record_))
        return xlretSuccess;
    XLOPER local;
    Ops::MakeNil(local);
    XlfOper4 coerced(&local);
    int code = Coerce(*this, static_cast<WORD>(wanted), coerced);
    if (code == xlretSuccess)
        code = (local.xltype & wanted) ? readCoerced(coerced) : xlretFailed;
    return code;
}

int XlfOper4::ConvertDouble(double& out) const {
    return Convert(
        xltypeNum, [&out](const XLOPER& record) { return Ops::ReadDouble(record, out); },
        [&out](const XlfOper4& coerced) { return coerced.ConvertDouble(out); });
}

int XlfOper4::ConvertShort(short& out) const {
    int code = xlretSuccess;
    const int converted = Convert(
        xltypeNum,
        [&out, &code](const XLOPER& record) { return Ops::ReadShort(record, out, code); },
        [&out](const XlfOper4& coerced) { return coerced.ConvertShort(out); });
    return converted != xlretSuccess ? converted : code;
}

int XlfOper4::ConvertBool(bool& out) const {
    return Convert(
        xltypeBool, [&out](const XLOPER& record) { return Ops::ReadBool(record, out); },
        [&out](const XlfOper4& coerced) { return coerced.ConvertBool(out); });
}

int XlfOper4::ConvertString(char*& out) const {
    return Convert(
        xltypeStr,
        [&out](const XLOPER& record) {
            if ((record.xltype & xltypeStr) == 0)
                return false;
            out = XlfOperImpl4::ByteStringAsNarrow(record.val.str);
            return true;
        },
        [&out](const XlfOper4& coerced) { return coerced.ConvertString(out); });
}

int XlfOper4::ConvertRef(XlfRange& out) const {
    int code = xlretSuccess;
    const int converted = Convert(
        xltypeRef, [&out, &code](const XLOPER& record) { return Ops::ReadRef(record, out, code); },
        [&out](const XlfOper4& coerced) { return coerced.ConvertRef(out); });
    return converted != xlretSuccess ? converted : code;
}

int XlfOper4::ConvertDoubleVector(std::vector<double>& out, int order) const {
    const DWORD type = GetType();
    if (type == xltypeMissing) {
        out.resize(0);
        return xlretSuccess;
    }
    if (type & xltypeNum) {
        double value = 0;
        const int code = ConvertDouble(value);
        if (code == xlretSuccess)
            out.assign(1, value);
        return code;
    }
    if (type & xltypeMulti)
        return Ops::ArrayAsDoubleVector(*record_, out, order, [](XLOPER& element, double& target) {
            return XlfOper4(&element).ConvertDouble(target);
        });
    XlfRange range;
    if (const int code = ConvertRef(range))
        return code;
    return Ops::RangeAsDoubleVector(range, out, order, [](const XlfRange& cell, double& target) {
        return RangeElement(cell, 0, 0).ConvertDouble(target);
    });
}

int XlfOper4::ConvertCellMatrix(CellMatrix& out) const {
    const DWORD type = GetType();
    if (type == xltypeMissing || type == xltypeNil) {
        out = CellMatrix(1, 1);
        return xlretSuccess;
    }
    if (Ops::IsCellKind(type)) {
        CellMatrix single(1, 1);
        single(0, 0) = Ops::ValueCell(*record_, XlfOperImpl4::ByteStringCell);
        out = single;
        return xlretSuccess;
    }
    if (type == xltypeMulti) {
        out = Ops::ArrayAsCellMatrix(*record_, XlfOperImpl4::ByteStringCell);
        return xlretSuccess;
    }
    XlfRange range;
    if (const int code = ConvertRef(range))
        return code;
    return Ops::RangeAsCellMatrix(range, out, [this](const XlfRange& cell, MatrixCell& target) {
        return ReadReferencedCell(cell, target);
    });
}

int XlfOper4::ReadReferencedCell(const XlfRange& cell, MatrixCell& out) const {
    XLOPER local;
    Ops::MakeNil(local);
    XlfOper4 content(&local);
    if (const int code =
            Coerce(RangeElement(cell, 0, 0), static_cast<WORD>(Ops::AnyCellContent), content))
        return code;
    return Ops::ContentCell(local, out, XlfOperImpl4::ByteStringAsNarrow);
}

int XlfOper4::ConvertMatrix(DoubleMatrix& out) const {
    const DWORD type = GetType();
    if (type == xltypeMissing || type == xltypeNil) {
        out = DoubleMatrix(0, 0);
        return xlretSuccess;
    }
    CellMatrix cells(1, 1);
    if (const int code = ConvertCellMatrix(cells))
        return code;
    return Ops::CellsAsMatrix(cells, out);
}

} // namespace vornix
