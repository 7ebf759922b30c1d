#pragma once

#include "CellMatrix.h"
#include "DoubleMatrix.h"
#include "DoubleVectorOrder.h"
#include "ExcelApi.h"
#include "XlfRange.h"

#include <string>
#include <vector>

namespace vornix {

// A value wrapper that always holds an Excel 4 record (XLOPER), whatever Excel is running, and
// always calls Excel through the Excel 4 entry. Registration builds its arguments with it, since
// Excel takes REGISTER through that entry under every version.
//
// Ownership is that of XlfOper: records made here live in temporary memory; a wrapped record is
// only wrapped; contents Excel allocated are handed back once, by the wrapper that received them
// (a copy of such a value gets its own record and contents). There is no wide-string setter or
// conversion.
class XlfOper4 {
public:
    XlfOper4();
    explicit XlfOper4(LPXLOPER record);
    XlfOper4(double value);
    XlfOper4(short value);
    XlfOper4(short value, bool asError);
    XlfOper4(bool value);
    XlfOper4(const char* text);
    XlfOper4(const std::string& text);
    XlfOper4(const XlfOper4& other);
    XlfOper4& operator=(const XlfOper4& other);
    ~XlfOper4();

    XlfOper4& SetNumber(double value);
    XlfOper4& SetInt(short value);
    XlfOper4& SetIntOrError(short value, bool asError);
    XlfOper4& SetBool(bool value);
    XlfOper4& SetError(WORD code);
    // At most 254 bytes; the length byte counts the text's bytes only.
    XlfOper4& SetString(const char* text);
    XlfOper4& SetRef(const XlfRange& range);
    XlfOper4& SetMulti(int rows, int columns);
    XlfOper4& SetElement(int row, int column, const XlfOper4& value);
    // Texts of both kinds are stored as byte strings from String cells only: a WideString cell
    // becomes the empty string, like an Empty one.
    XlfOper4& SetCellMatrix(const CellMatrix& cells);
    XlfOper4& Set(const DoubleMatrix& matrix);
    XlfOper4& Set(const std::vector<double>& values);

    // The 16-bit type word widened; 0 for a null record.
    DWORD GetType() const;
    // Whether the value holds contents Excel allocated, which this wrapper gives back.
    bool IsExcelOwned() const;
    int Rows() const;
    int Columns() const;
    XlfOper4 ElementAt(int row, int column) const;
    // A fresh reference to the cell at (row, column) of range, relative to its first cell.
    static XlfOper4 RangeElement(const XlfRange& range, int row, int column);

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
    char* AsString(int* err = nullptr) const;
    char* AsString(const std::string& name, int* err = nullptr) const;
    XlfRange AsRef(int* err = nullptr) const;

    LPXLOPER AsXLOPER() const { return record_; }

    // A fresh record from temporary memory (0), or 8 and a null record when none can be had.
    int Allocate();
    // Hands the record's contents back to Excel (xlFree); a refusal is logged, never thrown.
    void Free();
    // Excel's xlCoerce of source to type, through the Excel 4 entry.
    static int Coerce(const XlfOper4& source, WORD type, XlfOper4& result);

    static int ThrowOnError(int code);
    static int ThrowOnError(int code, const std::string& context);

private:
    static LPXLOPER SharedOrCopied(LPXLOPER record);
    void FreeIfExcelOwned();
    int ConvertDouble(double& out) const;
    int ConvertDoubleVector(std::vector<double>& out, int order) const;
    int ConvertShort(short& out) const;
    int ConvertBool(bool& out) const;
    int ConvertMatrix(DoubleMatrix& out) const;
    int ConvertCellMatrix(CellMatrix& out) const;
    int ConvertString(char*& out) const;
    int ConvertRef(XlfRange& out) const;
    int ReadReferencedCell(const XlfRange& cell, MatrixCell& out) const;
    template <typename ReadDirectly, typename ReadCoerced>
    int Convert(DWORD wanted, ReadDirectly readDirectly, ReadCoerced readCoerced) const;

    LPXLOPER record_;
};

} // namespace vornix
