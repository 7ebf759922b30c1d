#pragma once

#include "CellMatrix.h"
#include "DoubleMatrix.h"
#include "DoubleVectorOrder.h"
#include "ExcelApi.h"
#include "XlfRange.h"

#include <string>
#include <vector>

namespace vornix {

class XlfOperImpl;

// The library's handle for an Excel value, whatever the Excel version: one pointer to a value
// record. Every operation is forwarded to the current implementation (Excel 4 or Excel 12),
// chosen once by the gateway.
//
// Values made by the constructors live in the gateway's temporary memory and stay valid after the
// XlfOper is gone, until the next worksheet call resets that memory; this is how a function's
// result outlives the function. Copies share the record, except that a copy of a value whose
// contents Excel allocated (a call's result) gets a record and contents of its own in temporary
// memory: Excel's contents go back to Excel exactly once, when the value that received them is
// destroyed or assigned another value.
class XlfOper {
public:
    XlfOper();
    // Wraps an existing record (an argument from Excel, an array element) without copying it.
    explicit XlfOper(LPXLFOPER record);
    XlfOper(double value);
    XlfOper(bool value);
    XlfOper(short value);
    // An error value when asError, else an integer.
    XlfOper(short value, bool asError);
    XlfOper(const char* text);
    XlfOper(const std::string& text);
    XlfOper(const std::wstring& text);
    XlfOper(const CellMatrix& cells);
    XlfOper(const XlfOper& other);
    XlfOper& operator=(const XlfOper& other);
    // Moving hands the record on, with Excel's contents if it holds them; the moved-from value
    // holds no record.
    XlfOper(XlfOper&& other) noexcept;
    XlfOper& operator=(XlfOper&& other);
    ~XlfOper();

    // A new error value (an xlerr code, e.g. 15 for #VALUE!).
    static XlfOper Error(WORD code);

    // Conversions. With an int* the Excel return code is stored there and nothing is thrown;
    // without one a failure throws (see ThrowOnError). The named forms put the caller's name for
    // the value into the message.
    double AsDouble(int* err = nullptr) const;
    double AsDouble(const std::string& name, int* err = nullptr) const;
    std::vector<double> AsDoubleVector(int order = OneDimensional, int* err = nullptr) const;
    std::vector<double> AsDoubleVector(const std::string& name, int order = OneDimensional,
                                       int* err = nullptr) const;
    std::vector<double> AsArray(int order = OneDimensional, int* err = nullptr) const;
    std::vector<double> AsArray(const std::string& name, int order = OneDimensional,
                                int* err = nullptr) const;
    short AsShort(int* err = nullptr) const;
    short AsShort(const std::string& name, int* err = nullptr) const;
    bool AsBool(int* err = nullptr) const;
    bool AsBool(const std::string& name, int* err = nullptr) const;
    DoubleMatrix AsMatrix(int* err = nullptr) const;
    DoubleMatrix AsMatrix(const std::string& name, int* err = nullptr) const;
    CellMatrix AsCellMatrix(int* err = nullptr) const;
    CellMatrix AsCellMatrix(const std::string& name, int* err = nullptr) const;
    // NUL-terminated, in temporary memory.
    char* AsString(int* err = nullptr) const;
    char* AsString(const std::string& name, int* err = nullptr) const;
    std::wstring AsWideString(int* err = nullptr) const;
    XlfRange AsRef(int* err = nullptr) const;

    // Numbers as an array: a matrix keeps its shape, a vector becomes a column. Empty input
    // leaves the value as it was.
    XlfOper& Set(const DoubleMatrix& matrix);
    XlfOper& Set(const std::vector<double>& values);

    // Excel's type word; 0 for a null record.
    DWORD GetType() const;
    // Whether the value holds contents Excel allocated, which this wrapper gives back.
    bool IsExcelOwned() const;
    std::string TypeName() const;
    bool IsMissing() const;
    bool IsError() const;
    bool IsRef() const;
    bool IsSRef() const;
    bool IsMulti() const;
    bool IsNumber() const;
    bool IsString() const;
    bool IsNil() const;
    bool IsBool() const;
    bool IsInt() const;
    int Rows() const;
    int Columns() const;
    // A view of one array element (no copy).
    XlfOper operator()(int row, int column) const;
    XlfOper& SetElement(int row, int column, const XlfOper& value);

    // The record to hand to Excel.
    LPXLFOPER AsValuePointer() const;
    LPXLOPER AsXLOPER() const;
    LPXLOPER12 AsXLOPER12() const;

    // Throws the library's exception for a non-zero Excel return code, also for codes Excel's
    // documented table does not name; returns 0 for 0.
    static int ThrowOnError(int code);
    static int ThrowOnError(int code, const std::string& context);

private:
    friend class XlfOperImpl;

    static const XlfOperImpl& Impl();

    LPXLFOPER record_;
};

} // namespace vornix
