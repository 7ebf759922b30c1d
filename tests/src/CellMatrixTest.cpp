#include <vornix/CellMatrix.h>
#include <vornix/DoubleMatrix.h>

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

using vornix::CellMatrix;
using vornix::DoubleMatrix;
using vornix::MatrixCell;

namespace {

// Counts, then the cells row by row: "2x2: 1 _ / s:a T" (_ Empty, w: wide text, #n error).
std::string Picture(const CellMatrix& table) {
    std::ostringstream out;
    out << table.RowCount() << "x" << table.ColumnCount() << ":";
    for (unsigned long i = 0; i < table.RowCount(); ++i) {
        out << (i == 0 ? "" : " /");
        for (unsigned long j = 0; j < table.ColumnCount(); ++j) {
            const MatrixCell& c = table(i, j);
            out << " ";
            if (c.IsEmptyCell())
                out << "_";
            else if (c.IsNumberCell())
                out << c.GetNumber();
            else if (c.IsStringCell() || c.IsWideStringCell())
                out << (c.IsStringCell() ? "s:" : "w:") << c.GetString();
            else if (c.IsBooleanCell())
                out << (c.GetBoolean() ? "T" : "F");
            else
                out << "#" << c.GetErrorCode();
        }
    }
    return out.str();
}

CellMatrix Row(const std::vector<MatrixCell>& cells) {
    CellMatrix row(1, cells.size());
    for (std::size_t j = 0; j < cells.size(); ++j)
        row(0, j) = cells[j];
    return row;
}

TEST(CellMatrix, ShapeConstructorHoldsEmptyCellsAndChecksBounds) {
    CellMatrix table(2, 3);
    EXPECT_EQ(Picture(table), "2x3: _ _ _ / _ _ _");
    EXPECT_THROW(table(2, 0), std::out_of_range);
    table(1, 2) = MatrixCell(7ul, true);
    const CellMatrix& view = table;
    EXPECT_EQ(Picture(view), "2x3: _ _ _ / _ _ #7");
    EXPECT_THROW(view(0, 3), std::out_of_range);

    EXPECT_EQ(Picture(CellMatrix()), "0x0:");
    EXPECT_THROW(CellMatrix()(0, 0), std::out_of_range);
    EXPECT_EQ(Picture(CellMatrix(3, 0)), "3x0: / /");
}

TEST(CellMatrix, ValueConstructors) {
    EXPECT_EQ(Picture(CellMatrix(2.5)), "1x1: 2.5");
    EXPECT_EQ(Picture(CellMatrix(-4)), "1x1: -4");
    EXPECT_EQ(CellMatrix(4294967295ul)(0, 0).GetNumber(), 4294967295.0);
    EXPECT_EQ(Picture(CellMatrix(std::string("ab"))), "1x1: s:ab");
    EXPECT_EQ(Picture(CellMatrix("cd")), "1x1: s:cd");
    EXPECT_EQ(Picture(CellMatrix(std::wstring(L"ef"))), "1x1: w:ef");
    EXPECT_EQ(Picture(CellMatrix(std::vector<double>{1.5, -2.0})), "2x1: 1.5 / -2");

    const CellMatrix none(std::vector<double>{});
    EXPECT_EQ(Picture(none), "0x1:");
    EXPECT_THROW(none(0, 0), std::out_of_range);

    DoubleMatrix numbers(2, 2);
    numbers(0, 1) = 2.0;
    numbers(1, 0) = 3.0;
    EXPECT_EQ(Picture(CellMatrix(numbers)), "2x2: 0 2 / 3 0");
}

TEST(CellMatrix, AppendBelowWidensTheNarrowerTable) {
    CellMatrix table = Row({MatrixCell(1.0), MatrixCell(true)});
    table.AppendBelow(CellMatrix(2.0));
    EXPECT_EQ(Picture(table), "2x2: 1 T / 2 _");
    table.AppendBelow(Row({MatrixCell("a"), MatrixCell("b"), MatrixCell("c")}));
    EXPECT_EQ(Picture(table), "3x3: 1 T _ / 2 _ _ / s:a s:b s:c");

    CellMatrix twice = Row({MatrixCell(false)});
    twice.AppendBelow(twice);
    twice.AppendBelow(CellMatrix());
    EXPECT_EQ(Picture(twice), "2x1: F / F");
}

TEST(CellMatrix, StackLeavesInputsAndFillsEmptyCells) {
    const CellMatrix top(std::vector<double>{1.0, 2.0});
    const CellMatrix bottom = Row({MatrixCell("a"), MatrixCell("b"), MatrixCell("c")});
    EXPECT_EQ(Picture(StackCellMatrices(top, bottom)), "3x3: 1 _ _ / 2 _ _ / s:a s:b s:c");
    EXPECT_EQ(Picture(StackCellMatrices(bottom, top)), "3x3: s:a s:b s:c / 1 _ _ / 2 _ _");
    EXPECT_EQ(Picture(top) + " " + Picture(bottom), "2x1: 1 / 2 1x3: s:a s:b s:c");
}

} // namespace
