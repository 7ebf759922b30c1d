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

class XlfOperImpl;
template <typename Wrapper, typename Layout, typename Interface> class XlfValueImpl;

// The library's handle for an Excel value, whatever the Excel version: one pointer to a value
// record. Every operation is forwarded to the current implementation (Excel 4 or Excel 12),
// chosen once by the gateway.
//
// Values made by the constructors live in the gateway's temporary memory and stay valid after the
// XlfOper is gone, until the next worksheet call resets that memory; this is how a function's
// result outlives the function. Copies share the record, except that a copy of a value whose
// contents Excel allocated (a call's result) gets a record and contents of its own in temporary
// memory. Excel's contents go back to Excel exactly once, by the value that made the record Excel
// filled (or the value it was moved into), when it is destroyed or assigned another value; a
// value made from a record pointer never gives them back.
class XlfOper : public XlfValueShell<XlfOper> {
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
    // Copying and moving as XlfValueShell does them. Moving hands the record on, with Excel's
    // contents if it holds them; the moved-from value holds no record.
    XlfOper(const XlfOper& other) = default;
    XlfOper& operator=(const XlfOper& other) = default;
    XlfOper(XlfOper&& other) noexcept = default;
    XlfOper& operator=(XlfOper&& other) = default;
    ~XlfOper();

    // A new error value (an xlerr code, e.g. 15 for #VALUE!).
    static XlfOper Error(WORD code);

    std::wstring AsWideString(int* err = nullptr) const;

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
    friend class XlfValueShell<XlfOper>;
    template <typename Wrapper, typename Layout, typename Interface> friend class XlfValueImpl;

    static const XlfOperImpl& Impl();
};

} // namespace vornix
