#pragma once

#include <vornix/XlfOper.h>

namespace vornix {

// The operations behind XlfOper, one implementation per Excel record layout (XlfOperImpl4 for
// XLOPER, XlfOperImpl12 for XLOPER12). Constructing an implementation makes it the current one;
// the gateway constructs the one matching the running Excel, once.
//
// Conversions return an Excel return code (0 for success) and write their output only on the
// paths their implementations document. The slot order is part of the interface.
class XlfOperImpl {
public:
    // The current implementation. Throws std::logic_error before the gateway has chosen one.
    static const XlfOperImpl& Current();
    // The current implementation, or null before there is one.
    static const XlfOperImpl* CurrentOrNull();

    virtual void FreeIfExcelOwned(XlfOper& oper) const = 0;
    virtual void FreeThroughExcel(XlfOper& oper) const = 0;
    virtual XlfOper& Assign(XlfOper& target, const XlfOper& source) const = 0;
    virtual XlfOper& ElementAt(XlfOper& result, const XlfOper& multi, int row,
                               int column) const = 0;
    virtual LPXLOPER AsXLOPER(const XlfOper& oper) const = 0;
    virtual LPXLOPER12 AsXLOPER12(const XlfOper& oper) const = 0;
    virtual LPXLFOPER AsValuePointer(const XlfOper& oper) const = 0;
    virtual bool IsMissing(const XlfOper& oper) const = 0;
    virtual bool IsError(const XlfOper& oper) const = 0;
    virtual bool IsRef(const XlfOper& oper) const = 0;
    virtual bool IsSRef(const XlfOper& oper) const = 0;
    virtual bool IsMulti(const XlfOper& oper) const = 0;
    virtual bool IsNumber(const XlfOper& oper) const = 0;
    virtual bool IsString(const XlfOper& oper) const = 0;
    virtual bool IsNil(const XlfOper& oper) const = 0;
    virtual bool IsBool(const XlfOper& oper) const = 0;
    virtual bool IsInt(const XlfOper& oper) const = 0;
    virtual int Rows(const XlfOper& oper) const = 0;
    virtual int Columns(const XlfOper& oper) const = 0;
    virtual LPXLFOPER ValuePointer(const XlfOper& oper) const = 0;
    virtual XlfOper& SetMulti(XlfOper& oper, int rows, int columns) const = 0;
    virtual XlfOper& SetIntOrError(XlfOper& oper, short value, bool asError) const = 0;
    virtual XlfOper& SetRef(XlfOper& oper, const XlfRange& range) const = 0;
    virtual XlfOper& SetCellMatrix(XlfOper& oper, const CellMatrix& cells) const = 0;
    virtual XlfOper& SetWideString(XlfOper& oper, const std::wstring& text) const = 0;
    virtual XlfOper& SetString(XlfOper& oper, const char* text) const = 0;
    virtual XlfOper& SetBool(XlfOper& oper, bool value) const = 0;
    virtual XlfOper& SetInt(XlfOper& oper, short value) const = 0;
    virtual XlfOper& SetNumber(XlfOper& oper, double value) const = 0;
    virtual XlfOper& Attach(XlfOper& oper, LPXLFOPER record) const = 0;
    virtual XlfOper& SetElement(XlfOper& multi, int row, int column,
                                const XlfOper& value) const = 0;
    virtual XlfOper& SetError(XlfOper& oper, WORD code) const = 0;
    virtual int Coerce(const XlfOper& source, WORD type, XlfOper& result) const = 0;
    virtual int Allocate(XlfOper& oper) const = 0;
    virtual int AsDoubleVector(const XlfOper& oper, std::vector<double>& out, int order) const = 0;
    virtual int AsDouble(const XlfOper& oper, double& out) const = 0;
    virtual int AsShort(const XlfOper& oper, short& out) const = 0;
    virtual int AsBool(const XlfOper& oper, bool& out) const = 0;
    virtual int AsString(const XlfOper& oper, char*& out) const = 0;
    virtual int AsWideString(const XlfOper& oper, std::wstring& out) const = 0;
    virtual int AsCellMatrix(const XlfOper& oper, CellMatrix& out) const = 0;
    virtual int AsMatrix(const XlfOper& oper, DoubleMatrix& out) const = 0;
    virtual int AsRef(const XlfOper& oper, XlfRange& out) const = 0;
    virtual int AsError(const XlfOper& oper, WORD& out) const = 0;
    virtual DWORD GetType(const XlfOper& oper) const = 0;

protected:
    XlfOperImpl();
    // Implementations are never deleted through this interface. The library's own live for the
    // whole process; one that ends (a test's) stops being the current one, so nothing is left
    // pointing at it.
    ~XlfOperImpl();
    XlfOperImpl(const XlfOperImpl&) = delete;
    XlfOperImpl& operator=(const XlfOperImpl&) = delete;
};

} // namespace vornix
