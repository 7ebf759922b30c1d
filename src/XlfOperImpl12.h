#pragma once

#include "XlfOperImplCommon.h"

namespace vornix {

// Values as Excel 12 records (XLOPER12): 32-byte records, 32-bit type words and counts, texts of
// 16-bit code units with a 16-bit length.
class XlfOperImpl12 : public XlfOperImplCommon<XLOPER12> {
public:
    XlfOperImpl12() = default;

    LPXLOPER AsXLOPER(const XlfOper& oper) const override;
    LPXLOPER12 AsXLOPER12(const XlfOper& oper) const override;
    // Texts are cut to 32767 code units, Excel's own limit, so the length never wraps.
    XlfOper& SetWideString(XlfOper& oper, const std::wstring& text) const override;
    XlfOper& SetString(XlfOper& oper, const char* text) const override;

protected:
    const char* LogUnit() const override { return "XlfOperImpl12"; }
    int FreeFailedLine() const override { return 77; }
    char* TextAsNarrow(const XCHAR* counted) const override;
    std::wstring TextAsWide(const XCHAR* counted) const override;
    MatrixCell TextCell(const XCHAR* counted) const override;
    void SetWideCellValue(XlfOper& value, const MatrixCell& cell) const override;

private:
    static XlfOper& SetUnits(XlfOper& oper, const std::u16string& units);
};

} // namespace vornix
