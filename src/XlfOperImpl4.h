#pragma once

#include "XlfOperImplCommon.h"

namespace vornix {

// Values as Excel 4 records (XLOPER): 16-byte records, 16-bit type words and counts, byte texts
// with a length byte.
class XlfOperImpl4 : public XlfOperImplCommon<XLOPER> {
public:
    XlfOperImpl4() = default;

    LPXLOPER AsXLOPER(const XlfOper& oper) const override;
    LPXLOPER12 AsXLOPER12(const XlfOper& oper) const override;
    // At most 255 bytes converted from the wide text; the length byte counts the code units.
    XlfOper& SetWideString(XlfOper& oper, const std::wstring& text) const override;
    // At most 254 bytes; the length byte counts the text's bytes only.
    XlfOper& SetString(XlfOper& oper, const char* text) const override;

    // Excel 4 byte strings, shared with XlfOper4. SetByteString cuts texts to 254 bytes with a
    // log line at the given location and counts only the text's bytes (a NUL follows them,
    // uncounted); false when temporary memory gives no block.
    static bool SetByteString(XLOPER& record, const char* text, const char* logUnit, int logLine);
    static char* ByteStringAsNarrow(const char* counted);
    static MatrixCell ByteStringCell(const char* counted);

protected:
    const char* LogUnit() const override { return "XlfOperImpl4"; }
    int FreeFailedLine() const override { return 78; }
    char* TextAsNarrow(const char* counted) const override;
    std::wstring TextAsWide(const char* counted) const override;
    MatrixCell TextCell(const char* counted) const override;
    void SetWideCellValue(XlfOper& value, const MatrixCell& cell) const override;
};

} // namespace vornix
