#pragma once

#include "ExcelApi.h"
#include "MatrixCell.h"
#include "XlfLog.h"
#include "XlfTemporaryMemory.h"

#include <string>

namespace vornix {

// Texts in the records of each layout: Excel 4 byte strings with a length byte, Excel 12 strings
// of 16-bit code units with a 16-bit length. The setters make the record a text in the memory
// handed in and return false when it gives no block; an Excel 4 text cut to the layout's limit
// is reported at the site given (an Excel 12 text is cut without a line).
template <typename Record> class XlfRecordText;

template <> class XlfRecordText<XLOPER> {
public:
    // At most 254 bytes, never part of a character; the length byte counts the text's bytes only
    // (a NUL follows them, uncounted).
    static bool SetNarrow(XlfTemporaryMemory& memory, XLOPER& record, const char* text,
                          XlfLog::Site cut);
    // At most 255 bytes converted from the wide text; the length byte counts them.
    static bool SetWide(XlfTemporaryMemory& memory, XLOPER& record, const std::wstring& text,
                        XlfLog::Site cut);
    // The counted text as a NUL-terminated copy in temporary memory.
    static char* AsNarrow(XlfTemporaryMemory& memory, const char* counted);
    static std::wstring AsWide(const char* counted);
    static MatrixCell Cell(const char* counted);
};

template <> class XlfRecordText<XLOPER12> {
public:
    // Texts are cut to 32767 code units, Excel's own limit, so the length never wraps; the
    // length counts the code units the conversion produced.
    static bool SetNarrow(XlfTemporaryMemory& memory, XLOPER12& record, const char* text,
                          XlfLog::Site cut);
    static bool SetWide(XlfTemporaryMemory& memory, XLOPER12& record, const std::wstring& text,
                        XlfLog::Site cut);
    // As many bytes as the locale writes for the characters, which may be more than the units.
    static char* AsNarrow(XlfTemporaryMemory& memory, const XCHAR* counted);
    static std::wstring AsWide(const XCHAR* counted);
    static MatrixCell Cell(const XCHAR* counted);

private:
    static bool SetUnits(XlfTemporaryMemory& memory, XLOPER12& record, const std::u16string& units);
};

} // namespace vornix
