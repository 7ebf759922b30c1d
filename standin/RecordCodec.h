// The one place that converts between host values and Excel's records, for both layouts:
// XLOPER (byte texts, 16-bit sizes) and XLOPER12 (16-bit texts, 32-bit sizes).
#pragma once

#include "CountedText.h"
#include "HostValue.h"
#include "ResultMemory.h"
#include <vornix/ExcelApi.h>

#include <cstdint>
#include <limits>
#include <type_traits>
#include <utility>

namespace xlstandin {

// Bounds a record layout puts on the values it can carry.
struct RecordLimits {
    std::size_t maxTextLength;
    long minInt;
    long maxInt;
    int maxArguments; // records one callback takes
};

template <typename Record> class RecordCodec {
public:
    using Unit = std::remove_pointer_t<decltype(std::declval<Record>().val.str)>;
    using Text = CountedText<Unit>;
    using Ref = decltype(std::declval<Record>().val.sref.ref);
    using MRef = std::remove_pointer_t<decltype(std::declval<Record>().val.mref.lpmref)>;
    using IntType = decltype(std::declval<Record>().val.w);

    // Bits Excel's records carry to say who frees the contents; they do not change the value.
    static constexpr DWORD MemoryBits = xlbitXLFree | xlbitDLLFree;

    static RecordLimits Limits() {
        return RecordLimits{Text::MaxLength, std::numeric_limits<IntType>::min(),
                            std::numeric_limits<IntType>::max(), sizeof(Unit) == 1 ? 30 : 255};
    }

    static DWORD ValueType(const Record& record) { return record.xltype & ~MemoryBits; }

    // Reads a record into a value; false for a type word Excel would not accept.
    static bool Read(const Record& record, HostValue& value) {
        switch (ValueType(record)) {
        case xltypeMulti:
            return ReadArray(record, value);
        case xltypeSRef:
            value = HostValue::Reference(HostValue::CurrentSheet, {ReadArea(record.val.sref.ref)});
            return true;
        case xltypeRef:
            value = ReadReference(record);
            return true;
        default:
            return ReadScalar(record, value);
        }
    }

    // Fills a record with a value; texts, arrays and references get their storage from memory.
    // Texts longer than the layout allows are cut.
    static void Write(const HostValue& value, Record& record, ResultMemory& memory) {
        switch (value.GetKind()) {
        case HostValue::Kind::Array:
            WriteArray(value, record, memory);
            break;
        case HostValue::Kind::Reference:
            WriteReference(value, record, memory);
            break;
        default:
            WriteScalar(value, record, memory);
            break;
        }
    }

    static void WriteInt(long number, Record& record) {
        record.xltype = xltypeInt;
        record.val.w = static_cast<IntType>(number);
    }

    // The storage xlFree releases for a record of this type, or null when it has none.
    static const void* Contents(const Record& record) {
        switch (ValueType(record)) {
        case xltypeStr:
            return record.val.str;
        case xltypeMulti:
            return record.val.array.lparray;
        case xltypeRef:
            return record.val.mref.lpmref;
        default:
            return nullptr;
        }
    }

    // What xlFree leaves: the pointer to the contents null, the type word as it was.
    static void ClearContents(Record& record) {
        switch (ValueType(record)) {
        case xltypeStr:
            record.val.str = nullptr;
            break;
        case xltypeMulti:
            record.val.array.lparray = nullptr;
            break;
        case xltypeRef:
            record.val.mref.lpmref = nullptr;
            break;
        default:
            break;
        }
    }

    static bool HasContents(DWORD valueType) {
        return valueType == xltypeStr || valueType == xltypeMulti || valueType == xltypeRef;
    }

private:
    static bool ReadScalar(const Record& record, HostValue& value) {
        switch (ValueType(record)) {
        case xltypeNum:
            value = HostValue::Number(record.val.num);
            return true;
        case xltypeStr:
            if (record.val.str == nullptr) {
                return false;
            }
            value = HostValue::Text(Text::Read(record.val.str));
            return true;
        case xltypeBool:
            value = HostValue::Boolean(record.val.xbool != 0);
            return true;
        case xltypeErr:
            value = HostValue::Error(record.val.err);
            return true;
        case xltypeInt:
            value = HostValue::Number(record.val.w);
            return true;
        case xltypeMissing:
            value = HostValue::Missing();
            return true;
        case xltypeNil:
            value = HostValue::Nil();
            return true;
        default:
            return false;
        }
    }

    static bool ReadArray(const Record& record, HostValue& value) {
        const auto& array = record.val.array;
        if (array.lparray == nullptr || array.rows < 1 || array.columns < 1) {
            return false;
        }
        const std::size_t count = static_cast<std::size_t>(array.rows) * array.columns;
        std::vector<HostValue> elements(count);
        for (std::size_t i = 0; i < count; ++i) {
            if (!ReadScalar(array.lparray[i], elements[i])) {
                return false;
            }
        }
        value = HostValue::Array(array.rows, array.columns, std::move(elements));
        return true;
    }

    static CellArea ReadArea(const Ref& ref) {
        return CellArea{ref.rwFirst, ref.rwLast, ref.colFirst, ref.colLast};
    }

    // The areas follow the count in one block; reached by pointer arithmetic because the
    // published layout declares room for one.
    static HostValue ReadReference(const Record& record) {
        std::vector<CellArea> areas;
        const MRef* table = record.val.mref.lpmref;
        if (table != nullptr) {
            const Ref* first = &table->reftbl[0];
            for (std::size_t i = 0; i < table->count; ++i) {
                areas.push_back(ReadArea(first[i]));
            }
        }
        return HostValue::Reference(record.val.mref.idSheet, std::move(areas));
    }

    static void WriteScalar(const HostValue& value, Record& record, ResultMemory& memory) {
        switch (value.GetKind()) {
        case HostValue::Kind::Number:
            record.xltype = xltypeNum;
            record.val.num = value.AsNumber();
            break;
        case HostValue::Kind::Text: {
            const std::size_t units = Text::BufferUnits(Text::StoredLength(value.AsText()));
            record.xltype = xltypeStr;
            record.val.str = memory.Allocate<Unit>(units);
            Text::Write(value.AsText(), record.val.str);
            break;
        }
        case HostValue::Kind::Boolean:
            record.xltype = xltypeBool;
            record.val.xbool = value.AsBoolean() ? 1 : 0;
            break;
        case HostValue::Kind::Error:
            record.xltype = xltypeErr;
            record.val.err = static_cast<decltype(record.val.err)>(value.AsError());
            break;
        case HostValue::Kind::Nil:
            record.xltype = xltypeNil;
            break;
        default:
            record.xltype = xltypeMissing;
            break;
        }
    }

    static void WriteArray(const HostValue& value, Record& record, ResultMemory& memory) {
        const std::vector<HostValue>& elements = value.Elements();
        Record* items = memory.Allocate<Record>(elements.size());
        for (std::size_t i = 0; i < elements.size(); ++i) {
            WriteScalar(elements[i], items[i], memory);
        }
        record.xltype = xltypeMulti;
        record.val.array.lparray = items;
        record.val.array.rows = static_cast<decltype(record.val.array.rows)>(value.Rows());
        record.val.array.columns = static_cast<decltype(record.val.array.columns)>(value.Columns());
    }

    static Ref WriteArea(const CellArea& area) {
        Ref ref{};
        ref.rwFirst = static_cast<decltype(ref.rwFirst)>(area.rowFirst);
        ref.rwLast = static_cast<decltype(ref.rwLast)>(area.rowLast);
        ref.colFirst = static_cast<decltype(ref.colFirst)>(area.columnFirst);
        ref.colLast = static_cast<decltype(ref.colLast)>(area.columnLast);
        return ref;
    }

    // Whether the layout's row and column fields hold the area: XLOPER's reach Excel 4's grid.
    static bool Fits(const CellArea& area) {
        using Row = decltype(std::declval<Ref>().rwFirst);
        using Column = decltype(std::declval<Ref>().colFirst);
        return area.rowFirst >= 0 && area.columnFirst >= 0 &&
               area.rowLast <= std::numeric_limits<Row>::max() &&
               area.columnLast <= std::numeric_limits<Column>::max();
    }

    // A single area on the current sheet is Excel's short form; anything else a sheet reference.
    // A reference the layout cannot hold is #REF!.
    static void WriteReference(const HostValue& value, Record& record, ResultMemory& memory) {
        const std::vector<CellArea>& areas = value.Areas();
        for (const CellArea& area : areas) {
            if (!Fits(area)) {
                WriteScalar(HostValue::Error(xlerrRef), record, memory);
                return;
            }
        }
        if (value.SheetId() == HostValue::CurrentSheet && areas.size() == 1) {
            record.xltype = xltypeSRef;
            record.val.sref.count = 1;
            record.val.sref.ref = WriteArea(areas[0]);
            return;
        }
        if (areas.empty()) { // a sheet alone, as xlSheetId answers it
            record.xltype = xltypeRef;
            record.val.mref.lpmref = nullptr;
            record.val.mref.idSheet = value.SheetId();
            return;
        }
        // count tables of one area each leave room for count areas after one count field.
        MRef* table = memory.Allocate<MRef>(areas.empty() ? 1 : areas.size());
        table->count = static_cast<WORD>(areas.size());
        Ref* first = &table->reftbl[0];
        for (std::size_t i = 0; i < areas.size(); ++i) {
            first[i] = WriteArea(areas[i]);
        }
        record.xltype = xltypeRef;
        record.val.mref.lpmref = table;
        record.val.mref.idSheet = value.SheetId();
    }
};

} // namespace xlstandin
