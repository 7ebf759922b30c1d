#pragma once

#include "XlfExcelOwnership.h"
#include "XlfLog.h"
#include "XlfRecordOps.h"
#include "XlfRecordText.h"
#include <vornix/XlfExcel.h>
#include <vornix/XlfRecordHandle.h>

#include <ostream>
#include <string>
#include <vector>

namespace vornix {

// The base of an implementation that answers to no interface of its own (XlfOper4's).
struct XlfValueImplBase {};

// Every operation of the value wrappers, once, over the wrapper, its record layout and the way
// it reaches Excel. XlfOper's implementations derive from it with XlfOperImpl as Interface, whose
// slots these operations fill; XlfOper4's uses it as it is. Layout gives what differs:
//   Record                                  the record type
//   Coerce(result, source, wanted)          xlCoerce through the wrapper's Excel entry
//   SetString(memory, record, text)         a narrow text, cut with the wrapper's own log line
//   SetWideString(memory, record, text)     a wide text (XlfOper only)
//   WideCell(memory, record, cell)          what a WideString cell of a table becomes
//   FreeFailed                              the site of the line logged when xlFree fails
//
// Ownership: only the wrapper that made a record (XlfRecordHandle::Made) gives back what Excel
// put into it, when it is destroyed or assigned; a setter gives it back before overwriting the
// record, whichever wrapper it runs through, since nothing could reach Excel's memory afterwards.
// Which records hold Excel's memory is noted in XlfExcelOwnership, never in the type word.
template <typename Wrapper, typename Layout, typename Interface = XlfValueImplBase>
class XlfValueImpl : public Interface {
public:
    using Record = typename Layout::Record;
    using Ops = XlfRecordOps<Record>;
    using Text = XlfRecordText<Record>;
    using Unit = typename Ops::Unit;

    // --- Ownership -------------------------------------------------------------------------

    void FreeIfExcelOwned(Wrapper& oper) const {
        if (oper.record_.Made() && XlfExcelOwnership::Forget(RecordPtr(oper)))
            Free(RecordPtr(oper));
    }

    void FreeThroughExcel(Wrapper& oper) const { Free(RecordPtr(oper)); }

    // The target takes the source's value before it gives back its own, which the source may lie
    // in (an element of the target's array): it gets a copy of its own in temporary memory then,
    // as it does of a value holding Excel's memory, so that only the source gives that back.
    // Other values share their record.
    Wrapper& Assign(Wrapper& target, const Wrapper& source) const {
        Record* record = RecordPtr(source);
        XlfRecordHandle taken(record, false);
        if (record != nullptr && (OwnsExcelMemory(target) || XlfExcelOwnership::IsNoted(record)))
            taken = XlfRecordHandle(Ops::CopyRecord(Memory(), *record), true);
        FreeIfExcelOwned(target);
        target.record_ = taken;
        return target;
    }

    static bool OwnsExcelMemory(const Wrapper& oper) {
        return oper.record_.Made() && XlfExcelOwnership::IsNoted(RecordPtr(oper));
    }

    // --- Records and queries ---------------------------------------------------------------

    int Allocate(Wrapper& oper) const {
        FreeIfExcelOwned(oper);
        Record* record = Ops::NewRecord(Memory());
        oper.record_ = XlfRecordHandle(record, true);
        return record == nullptr ? xlretInvXloper : xlretSuccess;
    }

    Wrapper& Attach(Wrapper& oper, LPXLFOPER record) const {
        oper.record_ = XlfRecordHandle(record, false);
        return oper;
    }

    Wrapper& ElementAt(Wrapper& result, const Wrapper& multi, int row, int column) const {
        return Attach(result, &Ops::Element(RecordPtr(multi), row, column));
    }

    LPXLFOPER AsValuePointer(const Wrapper& oper) const { return RecordPtr(oper); }
    LPXLFOPER ValuePointer(const Wrapper& oper) const { return RecordPtr(oper); }
    DWORD GetType(const Wrapper& oper) const { return Ops::TypeOf(RecordPtr(oper)); }
    bool IsMissing(const Wrapper& oper) const { return HasBit(oper, xltypeMissing); }
    bool IsError(const Wrapper& oper) const { return HasBit(oper, xltypeErr); }
    bool IsRef(const Wrapper& oper) const { return HasBit(oper, xltypeRef); }
    bool IsSRef(const Wrapper& oper) const { return HasBit(oper, xltypeSRef); }
    bool IsMulti(const Wrapper& oper) const { return HasBit(oper, xltypeMulti); }
    bool IsNumber(const Wrapper& oper) const { return HasBit(oper, xltypeNum); }
    bool IsString(const Wrapper& oper) const { return HasBit(oper, xltypeStr); }
    bool IsNil(const Wrapper& oper) const { return HasBit(oper, xltypeNil); }
    bool IsBool(const Wrapper& oper) const { return HasBit(oper, xltypeBool); }
    bool IsInt(const Wrapper& oper) const { return HasBit(oper, xltypeInt); }

    int Rows(const Wrapper& oper) const {
        return static_cast<int>(Ops::Rows(Ops::RequireMulti(RecordPtr(oper))));
    }
    int Columns(const Wrapper& oper) const {
        return static_cast<int>(Ops::Columns(Ops::RequireMulti(RecordPtr(oper))));
    }

    // --- Setters: nothing for a null record; a null record when temporary memory gives no block.

    Wrapper& SetNumber(Wrapper& oper, double value) const {
        return Overwrite(oper, [value](Record& record) { return WriteNumber(record, value); });
    }
    Wrapper& SetBool(Wrapper& oper, bool value) const {
        return Overwrite(oper, [value](Record& record) { return WriteBool(record, value); });
    }
    Wrapper& SetInt(Wrapper& oper, short value) const {
        return Overwrite(oper, [value](Record& record) { return WriteInt(record, value); });
    }
    Wrapper& SetError(Wrapper& oper, WORD code) const {
        return Overwrite(oper, [code](Record& record) { return WriteError(record, code); });
    }
    Wrapper& SetIntOrError(Wrapper& oper, short value, bool asError) const {
        return Overwrite(oper, [value, asError](Record& record) {
            return asError ? WriteError(record, value) : WriteInt(record, value);
        });
    }
    Wrapper& SetString(Wrapper& oper, const char* text) const {
        return Overwrite(
            oper, [text](Record& record) { return Layout::SetString(Memory(), record, text); });
    }
    Wrapper& SetWideString(Wrapper& oper, const std::wstring& text) const {
        return Overwrite(oper, [&text](Record& record) {
            return Layout::SetWideString(Memory(), record, text);
        });
    }
    Wrapper& SetRef(Wrapper& oper, const XlfRange& range) const {
        return Overwrite(oper,
                         [&range](Record& record) { return Ops::SetRef(Memory(), record, range); });
    }
    Wrapper& SetMulti(Wrapper& oper, int rows, int columns) const {
        return Overwrite(oper, [rows, columns](Record& record) {
            Ops::SetMulti(Memory(), record, rows, columns);
            return true;
        });
    }
    // Each cell becomes a record of its own in temporary memory, copied into the array; text
    // payloads stay where their setters put them.
    Wrapper& SetCellMatrix(Wrapper& oper, const CellMatrix& cells) const {
        return Overwrite(oper, [&cells](Record& record) {
            XlfTemporaryMemory& memory = Memory();
            Ops::SetCellMatrix(memory, record, cells, [&memory](const MatrixCell& cell) {
                return CellRecord(memory, cell);
            });
            return true;
        });
    }

    Wrapper& SetElement(Wrapper& multi, int row, int column, const Wrapper& value) const {
        Ops::SetElement(Memory(), Ops::Element(RecordPtr(multi), row, column), RecordPtr(value));
        return multi;
    }

    // --- Conversions -------------------------------------------------------------------------

    int Coerce(const Wrapper& source, WORD type, Wrapper& result) const {
        return CoerceRecord(RecordPtr(source), type, RecordPtr(result));
    }

    int AsDouble(const Wrapper& oper, double& out) const { return DoubleOf(RecordPtr(oper), out); }

    int AsShort(const Wrapper& oper, short& out) const { return ShortOf(RecordPtr(oper), out); }

    int AsBool(const Wrapper& oper, bool& out) const { return BoolOf(RecordPtr(oper), out); }
    int AsString(const Wrapper& oper, char*& out) const { return StringOf(RecordPtr(oper), out); }
    int AsWideString(const Wrapper& oper, std::wstring& out) const {
        return WideStringOf(RecordPtr(oper), out);
    }
    int AsRef(const Wrapper& oper, XlfRange& out) const { return RefOf(RecordPtr(oper), out); }
    int AsError(const Wrapper& oper, WORD& out) const { return ErrorOf(RecordPtr(oper), out); }

    int AsDoubleVector(const Wrapper& oper, std::vector<double>& out, int order) const {
        const Record* record = RecordPtr(oper);
        const DWORD type = Ops::TypeOf(record);
        if (type == xltypeMissing) {
            out.resize(0);
            return xlretSuccess;
        }
        if (type & xltypeNum) {
            double value = 0;
            const int code = DoubleOf(record, value);
            if (code == xlretSuccess)
                out.assign(1, value);
            return code;
        }
        if (type & xltypeMulti)
            return Ops::ArrayAsDoubleVector(
                *record, out, order,
                [](Record& element, double& target) { return DoubleOf(&element, target); });
        XlfRange range;
        if (const int code = RefOf(record, range))
            return code;
        return Ops::RangeAsDoubleVector(
            range, out, order,
            [](const XlfRange& cell, double& target) { return DoubleOf(Reference(cell), target); });
    }

    int AsCellMatrix(const Wrapper& oper, CellMatrix& out) const {
        const Record* record = RecordPtr(oper);
        const DWORD type = Ops::TypeOf(record);
        if (type == xltypeMissing || type == xltypeNil) {
            out = CellMatrix(1, 1);
            return xlretSuccess;
        }
        if (Ops::IsCellKind(type)) {
            CellMatrix single(1, 1);
            single(0, 0) = Ops::ValueCell(*record, Text::Cell);
            out = single;
            return xlretSuccess;
        }
        if (type == xltypeMulti) {
            out = Ops::ArrayAsCellMatrix(*record, Text::Cell);
            return xlretSuccess;
        }
        XlfRange range;
        if (const int code = RefOf(record, range))
            return code;
        return Ops::RangeAsCellMatrix(range, out, ReadReferencedCell);
    }

    int AsMatrix(const Wrapper& oper, DoubleMatrix& out) const {
        const DWORD type = GetType(oper);
        if (type == xltypeMissing || type == xltypeNil) {
            out = DoubleMatrix(0, 0);
            return xlretSuccess;
        }
        CellMatrix cells(1, 1);
        if (const int code = AsCellMatrix(oper, cells))
            return code;
        return Ops::CellsAsMatrix(cells, out);
    }

protected:
    static Record* RecordPtr(const Wrapper& oper) { return oper.record_.template Get<Record>(); }

private:
    // A record Excel fills for a conversion, on the stack; what Excel put into it goes back when
    // the conversion is done with it.
    struct LocalResult {
        Record record;
        LocalResult() { Ops::MakeNil(record); }
        ~LocalResult() { GiveBack(&record); }
        LocalResult(const LocalResult&) = delete;
        LocalResult& operator=(const LocalResult&) = delete;
    };

    static XlfTemporaryMemory& Memory() { return XlfExcel::Instance().Memory(); }

    static bool HasBit(const Wrapper& oper, DWORD bit) {
        return (Ops::TypeOf(RecordPtr(oper)) & bit) != 0;
    }

    // Gives back what Excel put into the record, if it holds that now.
    static void GiveBack(Record* record) {
        if (XlfExcelOwnership::Forget(record))
            Free(record);
    }

    // Runs in destructors, also after the add-in closed: never throws, never makes a gateway.
    static void Free(Record* record) {
        if (XlfExcel::FreeExcelMemory(record) == xlretSuccess)
            return;
        try {
            XlfLog::At(Layout::FreeFailed) << "Call to xlFree failed" << std::endl;
        } catch (...) {
        }
    }

    // A setter builds the new value beside the record, gives back what Excel put into the record
    // and then writes the value: one that throws leaves the value as it was.
    template <typename Build> static Wrapper& Overwrite(Wrapper& oper, Build build) {
        Record* record = RecordPtr(oper);
        if (record == nullptr)
            return oper;
        Record value = *record;
        const bool built = build(value);
        GiveBack(record);
        if (built)
            *record = value;
        else
            oper.record_ = XlfRecordHandle();
        return oper;
    }

    static bool WriteNumber(Record& record, double value) {
        record.val.num = value;
        Ops::SetType(record, xltypeNum);
        return true;
    }
    static bool WriteBool(Record& record, bool value) {
        record.val.xbool = value ? 1 : 0;
        Ops::SetType(record, xltypeBool);
        return true;
    }
    static bool WriteInt(Record& record, short value) {
        record.val.w = value;
        Ops::SetType(record, xltypeInt);
        return true;
    }
    static bool WriteError(Record& record, short code) {
        record.val.err = code;
        Ops::SetType(record, xltypeErr);
        return true;
    }

    // The record of one cell of a table, built in a fresh record of temporary memory; an Empty
    // cell becomes an empty text, a cell whose text finds no memory a Nil.
    static Record CellRecord(XlfTemporaryMemory& memory, const MatrixCell& cell) {
        Record copy;
        Ops::MakeNil(copy);
        Record* value = Ops::NewRecord(memory);
        if (value == nullptr)
            return copy;
        bool built = true;
        if (cell.IsNumberCell())
            WriteNumber(*value, cell.GetNumber());
        else if (cell.IsStringCell())
            built = Layout::SetString(memory, *value, cell.GetString().c_str());
        else if (cell.IsWideStringCell())
            built = Layout::WideCell(memory, *value, cell);
        else if (cell.IsBooleanCell())
            WriteBool(*value, cell.GetBoolean());
        else if (cell.IsErrorCell())
            WriteError(*value, static_cast<short>(cell.GetErrorCode()));
        else
            built = Layout::SetString(memory, *value, "");
        return built ? *value : copy;
    }

    // A fresh reference to one cell; null when temporary memory gives no block.
    static Record* Reference(const XlfRange& cell) {
        XlfTemporaryMemory& memory = Memory();
        Record* reference = Ops::NewRecord(memory);
        if (reference != nullptr && !Ops::SetRef(memory, *reference, cell))
            reference = nullptr;
        return reference;
    }

    static int CoerceRecord(Record* source, WORD type, Record* result) {
        if (source == nullptr || result == nullptr)
            return xlretInvXloper;
        Record* wanted = Ops::NewRecord(Memory());
        if (wanted == nullptr)
            return xlretInvXloper;
        WriteInt(*wanted, static_cast<short>(type));
        return Layout::Coerce(result, source, wanted);
    }

    // Scalar conversions: read(record, out) reads the value directly when it holds the wanted
    // kind; otherwise Excel coerces it into a record of our own, which is read the same way and
    // given back. A coercion that does not give the wanted kind fails, so the conversion never
    // goes round again.
    template <typename Out, typename Read>
    static int ScalarOf(const Record* record, DWORD wanted, Out& out, Read read) {
        if (record == nullptr)
            return xlretInvXloper;
        if (read(*record, out))
            return xlretSuccess;
        LocalResult coerced;
        int code =
            CoerceRecord(const_cast<Record*>(record), static_cast<WORD>(wanted), &coerced.record);
        if (code == xlretSuccess)
            code = (coerced.record.xltype & wanted) ? ScalarOf(&coerced.record, wanted, out, read)
                                                    : xlretFailed;
        return code;
    }

    static int DoubleOf(const Record* record, double& out) {
        return ScalarOf(record, xltypeNum, out, Ops::ReadDouble);
    }

    static int BoolOf(const Record* record, bool& out) {
        return ScalarOf(record, xltypeBool, out, Ops::ReadBool);
    }

    static int ErrorOf(const Record* record, WORD& out) {
        return ScalarOf(record, xltypeErr, out, Ops::ReadError);
    }

    // A number out of the range of short, and a reference without an area, are read but fail.
    static int ShortOf(const Record* record, short& out) {
        int code = xlretSuccess;
        const int converted =
            ScalarOf(record, xltypeNum, out, [&code](const Record& value, short& to) {
                return Ops::ReadShort(value, to, code);
            });
        return converted != xlretSuccess ? converted : code;
    }

    static int RefOf(const Record* record, XlfRange& out) {
        int code = xlretSuccess;
        const int converted =
            ScalarOf(record, xltypeRef, out, [&code](const Record& value, XlfRange& to) {
                return Ops::ReadRef(value, to, code);
            });
        return converted != xlretSuccess ? converted : code;
    }

    static int StringOf(const Record* record, char*& out) {
        return ScalarOf(record, xltypeStr, out, [](const Record& value, char*& to) {
            if ((value.xltype & xltypeStr) == 0)
                return false;
            to = Text::AsNarrow(Memory(), value.val.str);
            return true;
        });
    }

    static int WideStringOf(const Record* record, std::wstring& out) {
        return ScalarOf(record, xltypeStr, out, [](const Record& value, std::wstring& to) {
            if ((value.xltype & xltypeStr) == 0)
                return false;
            to = Text::AsWide(value.val.str);
            return true;
        });
    }

    // One cell of a range: Excel gives its content, which becomes the cell of its kind.
    static int ReadReferencedCell(const XlfRange& cell, MatrixCell& out) {
        LocalResult content;
        if (const int code = CoerceRecord(Reference(cell), static_cast<WORD>(Ops::AnyCellContent),
                                          &content.record))
            return code;
        return Ops::ContentCell(content.record, out, [](const Unit* counted) {
            return Text::AsNarrow(Memory(), counted);
        });
    }
};

} // namespace vornix
