#pragma once

#include <vornix/CellMatrix.h>
#include <vornix/DoubleMatrix.h>
#include <vornix/DoubleVectorOrder.h>
#include <vornix/ExcelApi.h>
#include <vornix/XlfRange.h>
#include <vornix/XlfValueShell.h>

#include <string>
#include <vector>

namespace vornix {

class XlfOper4Impl;
template <typename Wrapper, typename Layout, typename Interface> class XlfValueImpl;

// A value wrapper that always holds an Excel 4 record (XLOPER), whatever Excel is running, and
// always calls Excel through the Excel 4 entry. Registration builds its arguments with it, since
// Excel takes REGISTER through that entry under every version.
//
// Ownership is that of XlfOper: records made here live in temporary memory; a wrapped record is
// only wrapped; contents Excel allocated are handed back once, by the wrapper that made the record
// Excel filled or the one it was moved into (a copy of such a value gets its own record and
// contents). There is no wide-string setter or conversion.
class XlfOper4 : public XlfValueShell<XlfOper4> {
public:
    XlfOper4();
    explicit XlfOper4(LPXLOPER record);
    XlfOper4(double value);
    XlfOper4(short value);
    XlfOper4(short value, bool asError);
    XlfOper4(bool value);
    XlfOper4(const char* text);
    XlfOper4(const std::string& text);
    // Copying and moving as XlfValueShell does them, as for XlfOper.
    XlfOper4(const XlfOper4& other) = default;
    XlfOper4& operator=(const XlfOper4& other) = default;
    XlfOper4(XlfOper4&& other) noexcept = default;
    XlfOper4& operator=(XlfOper4&& other) = default;
    ~XlfOper4();

    // Every setter first gives back Excel's contents of the record it overwrites.
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

    XlfOper4 ElementAt(int row, int column) const;
    // A fresh reference to the cell at (row, column) of range, relative to its first cell.
    static XlfOper4 RangeElement(const XlfRange& range, int row, int column);

    LPXLOPER AsXLOPER() const { return record_.Get<XLOPER>(); }

    // A fresh record from temporary memory (0), or 8 and a null record when none can be had.
    int Allocate();
    // Hands the record's contents back to Excel (xlFree); a refusal is logged, never thrown.
    void Free();
    // Excel's xlCoerce of source to type, through the Excel 4 entry.
    static int Coerce(const XlfOper4& source, WORD type, XlfOper4& result);

    static int ThrowOnError(int code);
    static int ThrowOnError(int code, const std::string& context);

private:
    friend class XlfValueShell<XlfOper4>;
    template <typename Wrapper, typename Layout, typename Interface> friend class XlfValueImpl;

    static const XlfOper4Impl& Impl();
};

} // namespace vornix
