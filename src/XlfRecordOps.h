#pragma once

#include "XlfCountedString.h"
#include "XlfRecordTraits.h"
#include <vornix/CellMatrix.h>
#include <vornix/DoubleMatrix.h>
#include <vornix/DoubleVectorOrder.h>
#include <vornix/XlfException.h>
#include <vornix/XlfRange.h>
#include <vornix/XlfTemporaryMemory.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <vector>

namespace vornix {

// What the value wrappers do to Excel records of either layout, on the records themselves.
// Where an algorithm needs a value converted the way its wrapper converts values (coercing
// through Excel), it takes that conversion as an argument. Whatever a record gets is carved from
// the temporary memory handed in.
template <typename Record> class XlfRecordOps {
public:
    using Traits = XlfRecordTraits<Record>;
    using TypeWord = typename Traits::TypeWord;
    using Unit = typename Traits::Unit;

    static DWORD TypeOf(const Record* record) {
        return record == nullptr ? 0 : static_cast<DWORD>(record->xltype);
    }

    static void MakeNil(Record& record) {
        std::memset(&record, 0, sizeof(Record));
        record.xltype = static_cast<TypeWord>(xltypeNil);
    }

    static void SetType(Record& record, DWORD type) { record.xltype = static_cast<TypeWord>(type); }

    // --- Memory -----------------------------------------------------------------------------

    // A block of temporary memory, or null when none can be had.
    static void* TryGetMemory(XlfTemporaryMemory& memory, std::size_t size) {
        if (size > std::numeric_limits<std::uint32_t>::max())
            return nullptr;
        try {
            return memory.Get(static_cast<std::uint32_t>(size));
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
    }

    // A block of temporary memory that must be had: std::bad_alloc otherwise.
    static void* GetMemory(XlfTemporaryMemory& memory, std::size_t size) {
        if (size > std::numeric_limits<std::uint32_t>::max())
            throw std::bad_alloc();
        return memory.Get(static_cast<std::uint32_t>(size));
    }

    // A fresh Nil record from temporary memory, or null.
    static Record* NewRecord(XlfTemporaryMemory& memory) {
        auto* record = static_cast<Record*>(TryGetMemory(memory, sizeof(Record)));
        if (record != nullptr)
            MakeNil(*record);
        return record;
    }

    // Makes record a text: a counted string of length units, and extra units after them, from
    // temporary memory; fill(units) writes the units and returns the length to count. False
    // when temporary memory gives no block.
    template <typename Fill>
    static bool SetText(XlfTemporaryMemory& memory, Record& record, std::size_t length,
                        std::size_t extra, Fill fill) {
        auto* counted = static_cast<Unit*>(
            TryGetMemory(memory, XlfCountedString::BlockSize<Unit>(length, extra)));
        if (counted == nullptr)
            return false;
        XlfCountedString::SetLength(counted, fill(XlfCountedString::Text(counted)));
        record.val.str = counted;
        SetType(record, xltypeStr);
        return true;
    }

    static Unit* CopyCountedString(XlfTemporaryMemory& memory, const Unit* counted) {
        const std::size_t size = XlfCountedString::StoredSize(counted);
        auto* copy = static_cast<Unit*>(GetMemory(memory, size));
        std::memcpy(copy, counted, size);
        return copy;
    }

    // A copy of the record in temporary memory whose text, array elements and reference block are
    // copies too, so that it stays valid after the original's contents went back to Excel.
    static Record* CopyRecord(XlfTemporaryMemory& memory, const Record& source) {
        auto* copy = static_cast<Record*>(GetMemory(memory, sizeof(Record)));
        *copy = source;
        CopyContents(memory, *copy);
        return copy;
    }

    // --- Arrays -----------------------------------------------------------------------------

    static const Record& RequireMulti(const Record* record) {
        const DWORD type = TypeOf(record);
        if ((type & xltypeMulti) == 0)
            throw XlfException("attempt to perform an xltypeMulti operation on a value of type " +
                               std::to_string(type));
        return *record;
    }

    static std::int64_t Rows(const Record& array) { return array.val.array.rows; }
    static std::int64_t Columns(const Record& array) { return array.val.array.columns; }

    // Indices outside the array would reach memory that is not the array's.
    static Record& Element(const Record* multi, int row, int column) {
        const Record& array = RequireMulti(multi);
        const std::int64_t rows = Rows(array), columns = Columns(array);
        if (row < 0 || row >= rows || column < 0 || column >= columns)
            throw XlfException("array element (" + std::to_string(row) + ", " +
                               std::to_string(column) + ") outside an array of " +
                               std::to_string(rows) + " x " + std::to_string(columns));
        return array.val.array.lparray[row * columns + column];
    }

    // Counts a record cannot hold would describe a different array.
    static void RequireArraySize(std::int64_t rows, std::int64_t columns) {
        if (rows < 0 || columns < 0 || rows > Traits::MaxArrayRows ||
            columns > Traits::MaxArrayColumns)
            throw XlfException(std::string("an array of ") + std::to_string(rows) + " x " +
                               std::to_string(columns) + " does not fit an " + Traits::VersionName +
                               " value");
    }

    // rows x columns Nil elements in temporary memory.
    static Record* NewElements(XlfTemporaryMemory& memory, std::int64_t rows,
                               std::int64_t columns) {
        const auto count = static_cast<std::uint64_t>(rows) * static_cast<std::uint64_t>(columns);
        if (count > std::numeric_limits<std::size_t>::max() / sizeof(Record))
            throw std::bad_alloc();
        auto* elements = static_cast<Record*>(GetMemory(memory, count * sizeof(Record)));
        for (std::uint64_t i = 0; i < count; ++i)
            MakeNil(elements[i]);
        return elements;
    }

    static void SetArray(Record& record, Record* elements, std::int64_t rows,
                         std::int64_t columns) {
        record.val.array.lparray = elements;
        record.val.array.rows = static_cast<decltype(record.val.array.rows)>(rows);
        record.val.array.columns = static_cast<decltype(record.val.array.columns)>(columns);
        SetType(record, xltypeMulti);
    }

    static void SetMulti(XlfTemporaryMemory& memory, Record& record, std::int64_t rows,
                         std::int64_t columns) {
        RequireArraySize(rows, columns);
        SetArray(record, NewElements(memory, rows, columns), rows, columns);
    }

    // An array of the cells' shape, columns beyond the 255th dropped; toRecord gives the record
    // of each cell.
    template <typename CellToRecord>
    static void SetCellMatrix(XlfTemporaryMemory& memory, Record& record, const CellMatrix& cells,
                              CellToRecord toRecord) {
        const std::int64_t rows = cells.RowCount();
        const std::int64_t columns = std::min<std::int64_t>(cells.ColumnCount(), 255);
        RequireArraySize(rows, columns);
        Record* elements = NewElements(memory, rows, columns);
        for (std::int64_t i = 0; i < rows; ++i)
            for (std::int64_t j = 0; j < columns; ++j)
                elements[i * columns + j] = toRecord(cells(i, j));
        SetArray(record, elements, rows, columns);
    }

    // Copies a number, a text (into a block of its own), a boolean, an error or an integer into
    // an array element; any other kind is refused and leaves the element as it was.
    static void SetElement(XlfTemporaryMemory& memory, Record& element, const Record* value) {
        const DWORD type = TypeOf(value);
        switch (type) {
        case xltypeNum:
            element.val.num = value->val.num;
            break;
        case xltypeStr:
            element.val.str = CopyCountedString(memory, value->val.str);
            break;
        case xltypeBool:
        case xltypeErr:
        case xltypeInt:
            element.val = value->val;
            break;
        default:
            throw XlfException("attempt to set a matrix element to a value of type " +
                               std::to_string(type));
        }
        SetType(element, type);
    }

    // Makes the record's contents copies of their own in temporary memory.
    static void CopyContents(XlfTemporaryMemory& memory, Record& record) {
        switch (TypeOf(&record)) {
        case xltypeStr:
            if (record.val.str != nullptr)
                record.val.str = CopyCountedString(memory, record.val.str);
            break;
        case xltypeMulti: {
            const std::int64_t count = Rows(record) * Columns(record);
            Record* elements = NewElements(memory, Rows(record), Columns(record));
            for (std::int64_t i = 0; i < count; ++i) {
                elements[i] = record.val.array.lparray[i];
                CopyContents(memory, elements[i]);
            }
            record.val.array.lparray = elements;
            break;
        }
        case xltypeRef:
            if (record.val.mref.lpmref != nullptr)
                record.val.mref.lpmref = CopyReferenceBlock(memory, *record.val.mref.lpmref);
            break;
        default:
            break;
        }
    }

    // --- References -------------------------------------------------------------------------

    static void RequireReferenceArea(const XlfRange& range) {
        const std::int64_t rowBegin = range.GetRowBegin(), rowEnd = range.GetRowEnd();
        const std::int64_t columnBegin = range.GetColBegin(), columnEnd = range.GetColEnd();
        if (rowBegin < 0 || rowEnd <= rowBegin || rowEnd > Traits::MaxReferenceRows ||
            columnBegin < 0 || columnEnd <= columnBegin || columnEnd > Traits::MaxReferenceColumns)
            throw XlfException("the range of rows " + std::to_string(rowBegin) + " to " +
                               std::to_string(rowEnd) + " and columns " +
                               std::to_string(columnBegin) + " to " + std::to_string(columnEnd) +
                               " does not fit an " + Traits::VersionName + " reference");
    }

    // A reference block with all of its areas.
    static typename Traits::MultiRef* CopyReferenceBlock(XlfTemporaryMemory& memory,
                                                         const typename Traits::MultiRef& block) {
        using MultiRef = typename Traits::MultiRef;
        const std::size_t areas = std::max<std::size_t>(block.count, 1);
        const std::size_t size = offsetof(MultiRef, reftbl) + areas * sizeof(block.reftbl[0]);
        auto* copy = static_cast<MultiRef*>(GetMemory(memory, std::max(size, sizeof(MultiRef))));
        std::memcpy(copy, &block,
                    offsetof(MultiRef, reftbl) + block.count * sizeof(block.reftbl[0]));
        return copy;
    }

    // A one-area reference; false when temporary memory gives no block for it.
    static bool SetRef(XlfTemporaryMemory& memory, Record& record, const XlfRange& range) {
        RequireReferenceArea(range);
        using MultiRef = typename Traits::MultiRef;
        auto* block = static_cast<MultiRef*>(TryGetMemory(memory, sizeof(MultiRef)));
        if (block == nullptr)
            return false;
        block->count = 1;
        auto& area = block->reftbl[0];
        area.rwFirst = static_cast<typename Traits::RowField>(range.GetRowBegin());
        area.rwLast = static_cast<typename Traits::RowField>(range.GetRowEnd() - 1);
        area.colFirst = static_cast<typename Traits::ColumnField>(range.GetColBegin());
        area.colLast = static_cast<typename Traits::ColumnField>(range.GetColEnd() - 1);
        record.val.mref.lpmref = block;
        record.val.mref.idSheet = range.GetSheetId();
        SetType(record, xltypeRef);
        return true;
    }

    // --- Reading values directly ---------------------------------------------------------------
    // Each returns false when the record does not hold the kind, so the caller coerces it.

    static bool ReadDouble(const Record& record, double& out) {
        if (record.xltype & xltypeInt)
            out = record.val.w;
        else if (record.xltype & xltypeNum)
            out = record.val.num;
        else
            return false;
        return true;
    }

    // A number out of the range of short is a failure, not a value that has nothing to do with
    // it.
    static bool ReadShort(const Record& record, short& out, int& code) {
        if ((record.xltype & xltypeNum) == 0)
            return false;
        const double number = record.val.num;
        const double truncated = number < 0 ? -std::floor(-number) : std::floor(number);
        if (truncated >= std::numeric_limits<short>::min() &&
            truncated <= std::numeric_limits<short>::max()) {
            out = static_cast<short>(truncated);
            code = xlretSuccess;
        } else {
            code = xlretFailed;
        }
        return true;
    }

    static bool ReadBool(const Record& record, bool& out) {
        if ((record.xltype & xltypeBool) == 0)
            return false;
        out = record.val.xbool != 0;
        return true;
    }

    static bool ReadError(const Record& record, WORD& out) {
        if ((record.xltype & xltypeErr) == 0)
            return false;
        out = static_cast<WORD>(record.val.err);
        return true;
    }

    // The first area of a reference and its sheet; a reference without an area is invalid.
    static bool ReadRef(const Record& record, XlfRange& out, int& code) {
        if ((record.xltype & xltypeRef) == 0)
            return false;
        const auto* block = record.val.mref.lpmref;
        if (block == nullptr || block->count == 0) {
            code = xlretInvXloper;
            return true;
        }
        const auto& area = block->reftbl[0];
        out = XlfRange(static_cast<std::int32_t>(area.rwFirst),
                       static_cast<std::int32_t>(std::int64_t{area.rwLast} + 1),
                       static_cast<std::int32_t>(area.colFirst),
                       static_cast<std::int32_t>(std::int64_t{area.colLast} + 1),
                       record.val.mref.idSheet);
        code = xlretSuccess;
        return true;
    }

    // --- Numbers from arrays and ranges ------------------------------------------------------

    // Numbers of an array in the order asked for. Elements that are not plain numbers go through
    // toDouble(element, target), whose first failure ends the walk.
    template <typename ElementToDouble>
    static int ArrayAsDoubleVector(const Record& array, std::vector<double>& out, int order,
                                   ElementToDouble toDouble) {
        const std::int64_t rows = Rows(array), columns = Columns(array);
        if (!AcceptsShape(order, rows, columns))
            return xlretFailed;
        out.resize(static_cast<std::size_t>(rows * columns));
        for (std::int64_t i = 0; i < rows; ++i)
            for (std::int64_t j = 0; j < columns; ++j) {
                Record& element = array.val.array.lparray[i * columns + j];
                double& target = out[TargetIndex(order, i, j, rows, columns)];
                if (element.xltype == xltypeNum)
                    target = element.val.num;
                else if (const int code = toDouble(element, target))
                    return code;
            }
        return xlretSuccess;
    }

    // Numbers of the cells of a range; cellToDouble(cell, target) reads one single-cell range.
    template <typename CellToDouble>
    static int RangeAsDoubleVector(const XlfRange& range, std::vector<double>& out, int order,
                                   CellToDouble cellToDouble) {
        const std::int64_t rows = range.NbRows(), columns = range.NbCols();
        if (!AcceptsShape(order, rows, columns))
            return xlretFailed;
        out.resize(static_cast<std::size_t>(rows * columns));
        for (std::int64_t i = 0; i < rows; ++i)
            for (std::int64_t j = 0; j < columns; ++j)
                if (const int code = cellToDouble(CellOf(range, i, j),
                                                  out[TargetIndex(order, i, j, rows, columns)]))
                    return code;
        return xlretSuccess;
    }

    // --- Cells --------------------------------------------------------------------------------

    // The cell for a number, boolean, error or text (exact type words); textCell makes the cell
    // of a counted text.
    template <typename TextCell>
    static MatrixCell ValueCell(const Record& record, TextCell textCell) {
        switch (record.xltype) {
        case xltypeNum:
            return MatrixCell(record.val.num);
        case xltypeBool:
            return MatrixCell(record.val.xbool > 0);
        case xltypeErr:
            return MatrixCell(static_cast<unsigned long>(record.val.err), true);
        case xltypeStr:
            return textCell(record.val.str);
        default:
            return MatrixCell();
        }
    }

    static bool IsCellKind(DWORD type) {
        return type == xltypeNum || type == xltypeBool || type == xltypeErr || type == xltypeStr;
    }

    template <typename TextCell>
    static CellMatrix ArrayAsCellMatrix(const Record& array, TextCell textCell) {
        const std::int64_t rows = Rows(array), columns = Columns(array);
        CellMatrix cells(rows, columns);
        for (std::int64_t i = 0; i < rows; ++i)
            for (std::int64_t j = 0; j < columns; ++j) {
                const Record& element = array.val.array.lparray[i * columns + j];
                if (IsCellKind(element.xltype))
                    cells(i, j) = ValueCell(element, textCell);
                else if (element.xltype != xltypeMissing && element.xltype != xltypeNil)
                    throw "cell contains neither number nor string nor boolean nor empty";
            }
        return cells;
    }

    // The table is given its shape, all Empty, before any cell is read; readCell(cell, target)
    // reads one single-cell range, and its first failure ends the walk.
    template <typename ReadCell>
    static int RangeAsCellMatrix(const XlfRange& range, CellMatrix& out, ReadCell readCell) {
        const std::int64_t rows = range.NbRows(), columns = range.NbCols();
        out = CellMatrix(rows, columns);
        for (std::int64_t i = 0; i < rows; ++i)
            for (std::int64_t j = 0; j < columns; ++j)
                if (const int code = readCell(CellOf(range, i, j), out(i, j)))
                    return code;
        return xlretSuccess;
    }

    // The numbers of a table; the first cell that is not a number fails with the elements before
    // it filled.
    static int CellsAsMatrix(const CellMatrix& cells, DoubleMatrix& out) {
        out = DoubleMatrix(cells.RowCount(), cells.ColumnCount());
        for (unsigned long i = 0; i < cells.RowCount(); ++i)
            for (unsigned long j = 0; j < cells.ColumnCount(); ++j) {
                if (!cells(i, j).IsNumberCell())
                    return xlretFailed;
                out(i, j) = cells(i, j).GetNumber();
            }
        return xlretSuccess;
    }

    // Kinds Excel may give for the content of a referenced cell: asked for any of them, Excel
    // gives the content in its own kind.
    static constexpr DWORD AnyCellContent =
        xltypeNum | xltypeStr | xltypeBool | xltypeErr | xltypeMissing | xltypeNil;

    // The cell for the content Excel gave for a referenced cell; toNarrow makes a text of a
    // counted text. A kind no cell can hold is an invalid value.
    template <typename TextToString>
    static int ContentCell(const Record& content, MatrixCell& out, TextToString toNarrow) {
        const DWORD type = content.xltype;
        if (type & xltypeNum)
            out = MatrixCell(content.val.num);
        else if (type & xltypeErr)
            out = MatrixCell(static_cast<unsigned long>(static_cast<WORD>(content.val.err)), true);
        else if (type & xltypeBool)
            out = MatrixCell(content.val.xbool != 0);
        else if (type & xltypeStr)
            out = MatrixCell(std::string(toNarrow(content.val.str)));
        else if ((type & (xltypeMissing | xltypeNil)) == 0)
            return xlretInvXloper;
        return xlretSuccess;
    }

private:
    static bool AcceptsShape(int order, std::int64_t rows, std::int64_t columns) {
        return order != OneDimensional || rows == 1 || columns == 1;
    }

    static std::size_t TargetIndex(int order, std::int64_t i, std::int64_t j, std::int64_t rows,
                                   std::int64_t columns) {
        return static_cast<std::size_t>(order == RowByRow ? i * columns + j : j * rows + i);
    }

    static XlfRange CellOf(const XlfRange& range, std::int64_t row, std::int64_t column) {
        return range.Cell(static_cast<std::int32_t>(row), static_cast<std::int32_t>(column));
    }
};

} // namespace vornix
