// MatrixCell, CellMatrix and DoubleMatrix under any sequence of operations. A model kept beside
// each table (its shape and the numbers written) must agree with it after every step; checked
// access outside the table throws std::out_of_range, strict conversions of the wrong kind throw
// their message text, and nothing crashes or leaks.
#include "FuzzCheck.h"
#include "FuzzValues.h"
#include <vornix/CellMatrix.h>
#include <vornix/DoubleMatrix.h>
#include <vornix/MatrixCell.h>

#include <fuzzer/FuzzedDataProvider.h>

#include <clocale>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

using vornix::CellMatrix;
using vornix::DoubleMatrix;
using vornix::MatrixCell;

namespace {

MatrixCell AnyCell(FuzzedDataProvider& input) {
    switch (input.ConsumeIntegralInRange(0, 7)) {
    case 0:
        return MatrixCell(input.ConsumeRandomLengthString(64));
    case 1: {
        std::wstring wide;
        for (int i = input.ConsumeIntegralInRange(0, 16); i > 0; --i)
            wide.push_back(static_cast<wchar_t>(input.ConsumeIntegral<std::uint32_t>() & 0x10FFFF));
        return MatrixCell(wide);
    }
    case 2:
        return MatrixCell(AnyDouble(input));
    case 3:
        return MatrixCell(input.ConsumeIntegral<int>());
    case 4:
        return MatrixCell(input.ConsumeIntegral<unsigned long>(), input.ConsumeBool());
    case 5:
        return MatrixCell(input.ConsumeBool());
    case 6:
        return MatrixCell(input.ConsumeRandomLengthString(16).c_str());
    default:
        return MatrixCell();
    }
}

// Exactly one kind holds.
void CheckKind(const MatrixCell& cell) {
    const int kinds = cell.IsStringCell() + cell.IsWideStringCell() + cell.IsNumberCell() +
                      cell.IsBooleanCell() + cell.IsErrorCell() + cell.IsEmptyCell();
    FUZZ_CHECK(kinds == 1);
}

// Every getter either answers or throws the cell's message text. (Thrown texts are costly under
// the sanitizers, so this runs for one cell per step.)
void CheckCell(const MatrixCell& cell) {
    CheckKind(cell);
    const auto answers = [](auto get) {
        try {
            get();
            return true;
        } catch (const char* message) {
            FUZZ_CHECK(message != nullptr && message[0] != '\0');
            return false;
        }
    };
    const bool text = cell.IsStringCell() || cell.IsWideStringCell();
    FUZZ_CHECK(answers([&] { return cell.GetString(); }) == text);
    FUZZ_CHECK(answers([&] { return cell.GetLowerString(); }) == text);
    FUZZ_CHECK(answers([&] { return cell.GetLowerWideString(); }) == text);
    FUZZ_CHECK(answers([&] { return cell.GetWideString(); }) == cell.IsWideStringCell());
    FUZZ_CHECK(answers([&] { return cell.GetNumber(); }) == cell.IsNumberCell());
    FUZZ_CHECK(answers([&] { return cell.GetBoolean(); }) == cell.IsBooleanCell());
    FUZZ_CHECK(answers([&] { return cell.GetErrorCode(); }) == cell.IsErrorCell());
    FUZZ_CHECK(answers([&] { return static_cast<std::string>(cell); }) == cell.IsStringCell());
    FUZZ_CHECK(answers([&] { return static_cast<std::wstring>(cell); }) == cell.IsWideStringCell());
    FUZZ_CHECK(answers([&] { return static_cast<double>(cell); }) == cell.IsNumberCell());
    FUZZ_CHECK(answers([&] { return static_cast<bool>(cell); }) == cell.IsBooleanCell());
    answers([&] { return static_cast<unsigned long>(cell); });
    if (cell.IsStringCell() || cell.IsWideStringCell())
        FUZZ_CHECK(cell.GetLowerString().size() == cell.GetString().size());
}

void CheckShape(const CellMatrix& cells, unsigned long rows, unsigned long columns) {
    FUZZ_CHECK(cells.RowCount() == rows);
    FUZZ_CHECK(cells.ColumnCount() == columns);
    for (unsigned long r = 0; r < rows; ++r)
        for (unsigned long c = 0; c < columns; ++c)
            CheckKind(cells(r, c));
    bool thrown = false;
    try {
        cells(rows, 0);
    } catch (const std::out_of_range&) {
        thrown = true;
    }
    FUZZ_CHECK(thrown);
}

void RunCells(FuzzedDataProvider& input) {
    unsigned long rows = input.ConsumeIntegralInRange(0, 12);
    unsigned long columns = input.ConsumeIntegralInRange(0, 12);
    CellMatrix cells(rows, columns);
    while (input.remaining_bytes() > 0 && input.ConsumeBool()) {
        switch (input.ConsumeIntegralInRange(0, 3)) {
        case 0:
            if (rows > 0 && columns > 0) {
                const unsigned long r = input.ConsumeIntegralInRange(0ul, rows - 1);
                const unsigned long c = input.ConsumeIntegralInRange(0ul, columns - 1);
                const MatrixCell cell = AnyCell(input);
                cells(r, c) = cell;
                CheckCell(cells(r, c));
                FUZZ_CHECK(cells(r, c).IsNumberCell() == cell.IsNumberCell());
                if (cell.IsNumberCell())
                    FUZZ_CHECK(SameDouble(cells(r, c).GetNumber(), cell.GetNumber()));
            }
            break;
        case 1: {
            CellMatrix other(input.ConsumeIntegralInRange(0, 6),
                             input.ConsumeIntegralInRange(0, 6));
            if (other.RowCount() == 0) {
                // Nothing below: the table stays as it is, however wide the other.
                other = CellMatrix(0ul, 1ul);
            }
            const unsigned long added = other.RowCount();
            const unsigned long width = std::max(columns, other.ColumnCount());
            cells.AppendBelow(other);
            rows += added;
            columns = rows == 0 ? columns : width;
            if (cells.RowCount() != rows || cells.ColumnCount() != columns) {
                // Widening is only promised for tables that hold rows; go by the table's own
                // count there and check it is one of the two.
                FUZZ_CHECK(cells.RowCount() == rows);
                FUZZ_CHECK(cells.ColumnCount() == width || cells.ColumnCount() == columns);
                columns = cells.ColumnCount();
            }
            break;
        }
        case 2: {
            const CellMatrix bottom(input.ConsumeIntegralInRange(0, 5),
                                    input.ConsumeIntegralInRange(0, 5));
            const CellMatrix stacked = vornix::StackCellMatrices(cells, bottom);
            FUZZ_CHECK(stacked.RowCount() == rows + bottom.RowCount());
            for (unsigned long r = 0; r < stacked.RowCount(); ++r)
                for (unsigned long c = 0; c < stacked.ColumnCount(); ++c)
                    CheckKind(stacked(r, c));
            break;
        }
        default: {
            const CellMatrix copy = cells;
            CheckShape(copy, rows, columns);
            break;
        }
        }
    }
    CheckShape(cells, rows, columns);
}

void RunDoubles(FuzzedDataProvider& input) {
    // Shapes that cannot exist: a dimension beyond 32 bits, or a byte size beyond what one
    // object may have. Both must be refused before anything is allocated (shapes in between are
    // real allocations, which the fuzzer's memory limit would report).
    if (input.ConsumeBool()) {
        const auto rows = input.ConsumeIntegral<unsigned long>();
        const auto columns = input.ConsumeIntegral<unsigned long>();
        const bool wideDimension = rows > 0xFFFFFFFFul || columns > 0xFFFFFFFFul;
        const bool tooManyBytes = columns != 0 && rows > PTRDIFF_MAX / sizeof(double) / columns;
        if (wideDimension || tooManyBytes) {
            bool refused = false;
            try {
                DoubleMatrix impossible(rows, columns);
            } catch (const std::length_error&) {
                refused = wideDimension;
            } catch (const std::bad_alloc&) {
                refused = !wideDimension;
            }
            FUZZ_CHECK(refused);
            return;
        }
    }
    unsigned long rows = input.ConsumeIntegralInRange(0, 20);
    unsigned long columns = input.ConsumeIntegralInRange(0, 20);
    DoubleMatrix matrix(rows, columns);
    std::vector<double> model(rows * columns, 0.0);
    while (input.remaining_bytes() > 0 && input.ConsumeBool()) {
        switch (input.ConsumeIntegralInRange(0, 3)) {
        case 0:
            if (!model.empty()) {
                const unsigned long r = input.ConsumeIntegralInRange(0ul, rows - 1);
                const unsigned long c = input.ConsumeIntegralInRange(0ul, columns - 1);
                const double value = AnyDouble(input);
                matrix[r][c] = value;
                model[r * columns + c] = value;
            }
            break;
        case 1: {
            const unsigned long newRows = input.ConsumeIntegralInRange(0, 20);
            const unsigned long newColumns = input.ConsumeIntegralInRange(0, 20);
            matrix.Reshape(newRows, newColumns);
            if (newRows != rows || newColumns != columns)
                model.assign(newRows * newColumns, 0.0);
            rows = newRows;
            columns = newColumns;
            break;
        }
        case 2: {
            DoubleMatrix other(input.ConsumeIntegralInRange(0, 20),
                               input.ConsumeIntegralInRange(0, 20));
            other = matrix;
            matrix = other;
            break;
        }
        default: {
            const DoubleMatrix copy(matrix);
            matrix = copy;
            break;
        }
        }
        FUZZ_CHECK(matrix.RowCount() == rows && matrix.ColumnCount() == columns);
        for (unsigned long r = 0; r < rows; ++r)
            for (unsigned long c = 0; c < columns; ++c)
                FUZZ_CHECK(SameDouble(matrix(r, c), model[r * columns + c]) &&
                           &matrix(r, c) == &matrix[r][c]);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    std::setlocale(LC_ALL, input.ConsumeBool() ? "C" : "C.UTF-8");
    if (input.ConsumeBool())
        RunCells(input);
    else
        RunDoubles(input);
    return 0;
}
