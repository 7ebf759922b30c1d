#pragma once

#include "XlfValueImpl.h"
#include <vornix/XlfOper4.h>

namespace vornix {

// What XlfOper4 takes of its own: texts cut with its own log line, a WideString cell kept as an
// empty text, and the Excel 4 entry whatever Excel runs.
struct XlfOper4Layout {
    using Record = XLOPER;
    static constexpr XlfLog::Site FreeFailed = XlfLog::FreeOper4Failed;

    static bool SetString(XlfTemporaryMemory& memory, XLOPER& record, const char* text) {
        return XlfRecordText<XLOPER>::SetNarrow(memory, record, text, XlfLog::StringOper4Truncated);
    }
    static bool WideCell(XlfTemporaryMemory& memory, XLOPER& record, const MatrixCell&) {
        return SetString(memory, record, "");
    }
    static int Coerce(XLOPER* result, XLOPER* source, XLOPER* wanted) {
        LPXLOPER args[] = {source, wanted};
        return XlfExcel::Instance().Call4v(xlCoerce, result, 2, args);
    }
};

// The operations behind XlfOper4.
class XlfOper4Impl : public XlfValueImpl<XlfOper4, XlfOper4Layout> {};

} // namespace vornix
