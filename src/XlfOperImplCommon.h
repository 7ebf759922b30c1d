#pragma once

#include "XlfExcelOwnership.h"
#include "XlfLog.h"
#include "XlfOperImpl.h"
#include "XlfRecordOps.h"

#include <ostream>
#include <string>

namespace vornix {

// The value operations that read and build both record layouts alike, on top of the record
// operations shared with XlfOper4. XlfOperImpl4 and XlfOperImpl12 derive from it and add what
// differs: texts, cells holding texts, and the conversion to the other layout.
//
// Which values hold contents Excel allocated is kept in XlfExcelOwnership, never in the type
// word, so every operation sees Excel's own type word.
template <typename Record> class XlfOperImplCommon : public XlfOperImpl {
protected:
    using Ops = XlfRecordOps<Record>;
    using TypeWord = typename Ops::TypeWord;
    using Unit = typename Ops::Unit;

public:
    void FreeIfExcelOwned(XlfOper& oper) const override {
        if (XlfExcelOwnership::Forget(RecordOf(oper)))
            FreeThroughExcel(oper);
    }

    // Runs in destructors, also after the add-in closed: never throws, never makes a gateway.
    void FreeThroughExcel(XlfOper& oper) const override {
        if (XlfExcel::FreeExcelMemory(RecordPtr(oper)) == xlretSuccess)
            return;
        try {
            XlfLog::At(LogUnit(), FreeFailedLine()) << "Call to xlFree failed" << std::endl;
        } catch (...) {
        }
    }

    // Values share records, except records holding contents Excel allocated: the target gets a
    // copy of its own in temporary memory, so that only the source gives them back.
    XlfOper& Assign(XlfOper& target, const XlfOper& source) const override {
        const Record* record = RecordPtr(source);
        RecordOf(target) =
            XlfExcelOwnership::IsNoted(record) ? Ops::CopyRecord(*record) : RecordOf(source);
        return target;
    }

    XlfOper& ElementAt(XlfOper& result, const XlfOper& multi, int row, int column) const override {
        RecordOf(result) = &Ops::Element(RecordPtr(multi), row, column);
        return result;
    }

    LPXLFOPER AsValuePointer(const XlfOper& oper) const override { return RecordOf(oper); }
    bool IsMissing(const XlfOper& oper) const override { return HasBit(oper, xltypeMissing); }
    bool IsError(const XlfOper& oper) const override { return HasBit(oper, xltypeErr); }
    bool IsRef(const XlfOper& oper) const override { return HasBit(oper, xltypeRef); }
    bool IsSRef(const XlfOper& oper) const override { return HasBit(oper, xltypeSRef); }
    bool IsMulti(const XlfOper& oper) const override { return HasBit(oper, xltypeMulti); }
    bool IsNumber(const XlfOper& oper) const override { return HasBit(oper, xltypeNum); }
    bool IsString(const XlfOper& oper) const override { return HasBit(oper, xltypeStr); }
    bool IsNil(const XlfOper& oper) const override { return HasBit(oper, xltypeNil); }
    bool IsBool(const XlfOper& oper) const override { return HasBit(oper, xltypeBool); }
    bool IsInt(const XlfOper& oper) const override { return HasBit(oper, xltypeInt); }

    int Rows(const XlfOper& oper) const override {
        return static_cast<int>(Ops::Rows(Ops::RequireMulti(RecordPtr(oper))));
    }
    int Columns(const XlfOper& oper) const override {
        return static_cast<int>(Ops::Columns(Ops::RequireMulti(RecordPtr(oper))));
    }

    LPXLFOPER ValuePointer(const XlfOper& oper) const override { return RecordOf(oper); }

    XlfOper& SetMulti(XlfOper& oper, int rows, int columns) const override {
        if (Record* record = RecordPtr(oper))
            Ops::SetMulti(*record, rows, columns);
        return oper;
    }

    XlfOper& SetIntOrError(XlfOper& oper, short value, bool asError) const override {
        if (Record* record = RecordPtr(oper)) {
            if (asError)
                record->val.err = value;
            else
                record->val.w = value;
            Ops::SetType(*record, asError ? xltypeErr : xltypeInt);
        }
        return oper;
    }

    XlfOper& SetRef(XlfOper& oper, const XlfRange& range) const override {
        Record* record = RecordPtr(oper);
        if (record != nullptr && !Ops::SetRef(*record, range))
            RecordOf(oper) = nullptr;
        return oper;
    }

    // Each cell becomes a value of its own through the current implementation, whose record is
    // copied into the array; text payloads stay where their setters put them.
    XlfOper& SetCellMatrix(XlfOper& oper, const CellMatrix& cells) const override {
        if (Record* record = RecordPtr(oper))
            Ops::SetCellMatrix(*record, cells, [this](const MatrixCell& cell) {
                XlfOper value;
                SetCellValue(value, cell);
                Record copy;
                if (const Record* built = RecordPtr(value))
                    copy = *built;
                else
                    Ops::MakeNil(copy);
                return copy;
            });
        return oper;
    }

    XlfOper& SetBool(XlfOper& oper, bool value) const override {
        if (Record* record = RecordPtr(oper)) {
            record->val.xbool = value ? 1 : 0;
            Ops::SetType(*record, xltypeBool);
        }
        return oper;
    }

    XlfOper& SetInt(XlfOper& oper, short value) const override {
        if (Record* record = RecordPtr(oper)) {
            record->val.w = value;
            Ops::SetType(*record, xltypeInt);
        }
        return oper;
    }

    XlfOper& SetNumber(XlfOper& oper, double value) const override {
        if (Record* record = RecordPtr(oper)) {
            record->val.num = value;
            Ops::SetType(*record, xltypeNum);
        }
        return oper;
    }

    XlfOper& Attach(XlfOper& oper, LPXLFOPER record) const override {
        RecordOf(oper) = record;
        return oper;
    }

    XlfOper& SetElement(XlfOper& multi, int row, int column, const XlfOper& value) const override {
        Ops::SetElement(Ops::Element(RecordPtr(multi), row, column), RecordPtr(value));
        return multi;
    }

    XlfOper& SetError(XlfOper& oper, WORD code) const override {
        if (Record* record = RecordPtr(oper)) {
            record->val.err = code;
            Ops::SetType(*record, xltypeErr);
        }
        return oper;
    }

    int Coerce(const XlfOper& source, WORD type, XlfOper& result) const override {
        if (RecordOf(source) == nullptr || RecordOf(result) == nullptr)
            return xlretInvXloper;
        XlfOper wanted;
        Current().SetInt(wanted, static_cast<short>(type));
        if (RecordOf(wanted) == nullptr)
            return xlretInvXloper;
        return XlfExcel::Instance().Call(xlCoerce, RecordOf(result), 2, RecordOf(source),
                                         RecordOf(wanted));
    }

    int Allocate(XlfOper& oper) const override {
        Record* record = Ops::NewRecord();
        RecordOf(oper) = record;
        return record == nullptr ? xlretInvXloper : xlretSuccess;
    }

    int AsDoubleVector(const XlfOper& oper, std::vector<double>& out, int order) const override {
        const DWORD type = GetType(oper);
        if (type == xltypeMissing) {
            out.resize(0);
            return xlretSuccess;
        }
        if (type & xltypeNum) {
            double value = 0;
            const int code = AsDouble(oper, value);
            if (code == xlretSuccess)
                out.assign(1, value);
            return code;
        }
        if (type & xltypeMulti)
            return Ops::ArrayAsDoubleVector(
                *RecordPtr(oper), out, order, [](Record& element, double& target) {
                    return Current().AsDouble(XlfOper(static_cast<LPXLFOPER>(&element)), target);
                });
        XlfRange range;
        if (const int code = AsRef(oper, range))
            return code;
        return Ops::RangeAsDoubleVector(range, out, order,
                                        [](const XlfRange& cell, double& target) {
                                            return Current().AsDouble(Reference(cell), target);
                                        });
    }

    int AsDouble(const XlfOper& oper, double& out) const override {
        return Convert(
            oper, xltypeNum, [&out](const Record& record) { return Ops::ReadDouble(record, out); },
            [&out](const XlfOper& coerced) { return Current().AsDouble(coerced, out); });
    }

    int AsShort(const XlfOper& oper, short& out) const override {
        int code = xlretSuccess;
        const int converted = Convert(
            oper, xltypeNum,
            [&out, &code](const Record& record) { return Ops::ReadShort(record, out, code); },
            [&out](const XlfOper& coerced) { return Current().AsShort(coerced, out); });
        return converted != xlretSuccess ? converted : code;
    }

    int AsBool(const XlfOper& oper, bool& out) const override {
        return Convert(
            oper, xltypeBool, [&out](const Record& record) { return Ops::ReadBool(record, out); },
            [&out](const XlfOper& coerced) { return Current().AsBool(coerced, out); });
    }

    int AsString(const XlfOper& oper, char*& out) const override {
        return Convert(
            oper, xltypeStr,
            [this, &out](const Record& record) {
                if ((record.xltype & xltypeStr) == 0)
                    return false;
                out = TextAsNarrow(record.val.str);
                return true;
            },
            [&out](const XlfOper& coerced) { return Current().AsString(coerced, out); });
    }

    int AsWideString(const XlfOper& oper, std::wstring& out) const override {
        return Convert(
            oper, xltypeStr,
            [this, &out](const Record& record) {
                if ((record.xltype & xltypeStr) == 0)
                    return false;
                out = TextAsWide(record.val.str);
                return true;
            },
            [&out](const XlfOper& coerced) { return Current().AsWideString(coerced, out); });
    }

    int AsCellMatrix(const XlfOper& oper, CellMatrix& out) const override {
        const DWORD type = GetType(oper);
        const auto textCell = [this](const Unit* counted) { return TextCell(counted); };
        if (type == xltypeMissing || type == xltypeNil) {
            out = CellMatrix(1, 1);
            return xlretSuccess;
        }
        if (Ops::IsCellKind(type)) {
            CellMatrix single(1, 1);
            single(0, 0) = Ops::ValueCell(*RecordPtr(oper), textCell);
            out = single;
            return xlretSuccess;
        }
        if (type == xltypeMulti) {
            out = Ops::ArrayAsCellMatrix(*RecordPtr(oper), textCell);
            return xlretSuccess;
        }
        XlfRange range;
        if (const int code = AsRef(oper, range))
            return code;
        return Ops::RangeAsCellMatrix(range, out, [this](const XlfRange& cell, MatrixCell& target) {
            return ReadReferencedCell(cell, target);
        });
    }

    int AsMatrix(const XlfOper& oper, DoubleMatrix& out) const override {
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

    int AsRef(const XlfOper& oper, XlfRange& out) const override {
        int code = xlretSuccess;
        const int converted = Convert(
            oper, xltypeRef,
            [&out, &code](const Record& record) { return Ops::ReadRef(record, out, code); },
            [&out](const XlfOper& coerced) { return Current().AsRef(coerced, out); });
        return converted != xlretSuccess ? converted : code;
    }

    int AsError(const XlfOper& oper, WORD& out) const override {
        return Convert(
            oper, xltypeErr, [&out](const Record& record) { return Ops::ReadError(record, out); },
            [&out](const XlfOper& coerced) { return Current().AsError(coerced, out); });
    }

    DWORD GetType(const XlfOper& oper) const override { return Ops::TypeOf(RecordPtr(oper)); }

protected:
    // Source unit and line of the log line written when Excel refuses to free a value.
    virtual const char* LogUnit() const = 0;
    virtual int FreeFailedLine() const = 0;
    // The counted text as a NUL-terminated narrow copy in temporary memory.
    virtual char* TextAsNarrow(const Unit* counted) const = 0;
    virtual std::wstring TextAsWide(const Unit* counted) const = 0;
    // The cell that holds a counted text read from a value.
    virtual MatrixCell TextCell(const Unit* counted) const = 0;
    // Makes value (fresh, from the current implementation) hold the text of a WideString cell.
    virtual void SetWideCellValue(XlfOper& value, const MatrixCell& cell) const = 0;

    static Record* RecordPtr(const XlfOper& oper) { return static_cast<Record*>(RecordOf(oper)); }

    // The text setters' frame: nothing for a null record; a null record when temporary memory
    // gives no block for the text.
    template <typename Fill>
    static XlfOper& SetText(XlfOper& oper, std::size_t length, std::size_t extra, Fill fill) {
        Record* record = RecordPtr(oper);
        if (record != nullptr && !Ops::SetText(*record, length, extra, fill))
            RecordOf(oper) = nullptr;
        return oper;
    }

private:
    // Makes value (fresh, from the current implementation) hold the cell's content; an Empty
    // cell becomes an empty text.
    void SetCellValue(XlfOper& value, const MatrixCell& cell) const {
        const XlfOperImpl& impl = Current();
        if (cell.IsNumberCell())
            impl.SetNumber(value, cell.GetNumber());
        else if (cell.IsStringCell())
            impl.SetString(value, cell.GetString().c_str());
        else if (cell.IsWideStringCell())
            SetWideCellValue(value, cell);
        else if (cell.IsBooleanCell())
            impl.SetBool(value, cell.GetBoolean());
        else if (cell.IsErrorCell())
            impl.SetIntOrError(value, static_cast<short>(cell.GetErrorCode()), true);
        else
            impl.SetString(value, "");
    }

    static bool HasBit(const XlfOper& oper, DWORD bit) {
        return (Ops::TypeOf(RecordPtr(oper)) & bit) != 0;
    }

    // A fresh reference to one cell.
    static XlfOper Reference(const XlfRange& cell) {
        XlfOper reference;
        Current().SetRef(reference, cell);
        return reference;
    }

    // Scalar conversions: read the value directly when it holds the wanted kind; otherwise have
    // Excel coerce it into a record of our own and convert that, handing Excel's memory back as
    // the temporary wrapper goes. A coercion that does not give the wanted kind fails, so the
    // conversion never goes round again.
    template <typename ReadDirectly, typename ReadCoerced>
    int Convert(const XlfOper& oper, DWORD wanted, ReadDirectly readDirectly,
                ReadCoerced readCoerced) const {
        const Record* record = RecordPtr(oper);
        if (record == nullptr)
            return xlretInvXloper;
        if (readDirectly(*record))
            return xlretSuccess;
        Record local;
        Ops::MakeNil(local);
        XlfOper coerced(static_cast<LPXLFOPER>(&local));
        int code = Coerce(oper, static_cast<WORD>(wanted), coerced);
        if (code == xlretSuccess)
            code = (local.xltype & wanted) ? readCoerced(coerced) : xlretFailed;
        return code;
    }

    // One cell of a range: Excel gives its content, which becomes the cell of its kind.
    int ReadReferencedCell(const XlfRange& cell, MatrixCell& out) const {
        Record local;
        Ops::MakeNil(local);
        XlfOper content(static_cast<LPXLFOPER>(&local));
        if (const int code =
                Current().Coerce(Reference(cell), static_cast<WORD>(Ops::AnyCellContent), content))
            return code;
        return Ops::ContentCell(local, out,
                                [this](const Unit* counted) { return TextAsNarrow(counted); });
    }
};

} // namespace vornix
