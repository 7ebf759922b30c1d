#pragma once

#include "XlfLog.h"
#include "XlfRecordTraits.h"
#include <vornix/ExcelApi.h>
#include <vornix/MatrixCell.h>
#include <vornix/XlfTemporaryMemory.h>

#include <string>

namespace vornix {

// Texts in the records of each layout: Excel 4 byte strings with a length byte (at most 254 bytes
// from a narrow text, never part of a character, a NUL after them uncounted; at most 255 bytes
// converted from a wide one), Excel 12 strings of 16-bit code units with a 16-bit length (cut to
// 32767 units, Excel's own limit, never between the two units of one character). The setters
// make the record a text in the memory handed in and return false when it gives no block; an
// Excel 4 text cut to its limit is reported at the site given. Defined for XLOPER and XLOPER12.
template <typename Record> class XlfRecordText {
public:
    using Unit = typename XlfRecordTraits<Record>::Unit;

    static bool SetNarrow(XlfTemporaryMemory& memory, Record& record, const char* text,
                          XlfLog::Site cut);
    static bool SetWide(XlfTemporaryMemory& memory, Record& record, const std::wstring& text,
                        XlfLog::Site cut);
    // The counted text as a NUL-terminated copy in the memory handed in: as many bytes as the
    // locale writes for the characters, which may be more than the units.
    static char* AsNarrow(XlfTemporaryMemory& memory, const Unit* counted);
    static std::wstring AsWide(const Unit* counted);
    static MatrixCell Cell(const Unit* counted);
};

} // namespace vornix
