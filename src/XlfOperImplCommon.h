#pragma once

#include "XlfOperImpl.h"
#include "XlfValueImpl.h"

#include <type_traits>

namespace vornix {

// What XlfOper's values take of their own over either record layout: the log lines of their
// implementation, a WideString cell kept wide in Excel 12 records and as the low byte of each
// unit in Excel 4 ones, and the entry of the running Excel.
template <typename RecordType> struct XlfOperLayout {
    using Record = RecordType;
    static constexpr bool Excel12 = std::is_same<Record, XLOPER12>::value;
    static constexpr XlfLog::Site FreeFailed = Excel12 ? XlfLog::Free12Failed : XlfLog::Free4Failed;

    static bool SetString(XlfTemporaryMemory& memory, Record& record, const char* text) {
        return XlfRecordText<Record>::SetNarrow(memory, record, text, XlfLog::String4Truncated);
    }
    static bool SetWideString(XlfTemporaryMemory& memory, Record& record,
                              const std::wstring& text) {
        return XlfRecordText<Record>::SetWide(memory, record, text, XlfLog::WideString4Truncated);
    }
    static bool WideCell(XlfTemporaryMemory& memory, Record& record, const MatrixCell& cell) {
        if constexpr (Excel12)
            return SetWideString(memory, record, cell.GetWideString());
        else
            return SetString(memory, record, cell.GetString().c_str());
    }
    static int Coerce(Record* result, Record* source, Record* wanted) {
        return XlfExcel::Instance().Call(xlCoerce, result, 2, source, wanted);
    }
};

// XlfOper's implementation over one record layout: the value operations of XlfValueImpl in the
// slots of XlfOperImpl. XlfOperImpl4 and XlfOperImpl12 derive from it and add the conversion to
// the other layout.
template <typename Record>
class XlfOperImplCommon : public XlfValueImpl<XlfOper, XlfOperLayout<Record>, XlfOperImpl> {};

} // namespace vornix
