// Table of mixed cells, the library-side form of an Excel array. The counts are stored: every
// operation keeps exactly RowCount rows of ColumnCount cells, except the table made from an
// empty number vector, which has no rows and column count 1. Can be thrown as a result.
#pragma once

#include <vornix/MatrixCell.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vornix {

class DoubleMatrix;

class CellMatrix {
public:
    CellMatrix();
    // rowCount rows of columnCount Empty cells.
    CellMatrix(unsigned long rowCount, unsigned long columnCount);
    // 1 x 1 tables holding one cell.
    CellMatrix(double number);
    CellMatrix(int number);
    CellMatrix(unsigned long number);
    CellMatrix(const std::string& text);
    CellMatrix(const char* text);
    CellMatrix(const std::wstring& text);
    // One Number cell per element, as a single column.
    CellMatrix(const std::vector<double>& column);
    // Number cells of the same shape and values.
    CellMatrix(const DoubleMatrix& matrix);

    // Checked against the rows actually held: std::out_of_range when outside.
    const MatrixCell& operator()(unsigned long row, unsigned long column) const;
    MatrixCell& operator()(unsigned long row, unsigned long column);

    unsigned long RowCount() const { return rowCount_; }
    unsigned long ColumnCount() const { return columnCount_; }

    // Appends other's rows below; the narrower of the two is widened with Empty cells.
    void AppendBelow(const CellMatrix& other);

private:
    // A 1 x 1 table; the single-value constructors share it.
    explicit CellMatrix(const MatrixCell& cell);
    // Every row holds at most width cells; the added ones are Empty.
    static void Widen(std::vector<std::vector<MatrixCell>>& rows, std::uint32_t width);

    std::vector<std::vector<MatrixCell>> rows_;
    std::uint32_t rowCount_;
    std::uint32_t columnCount_;
};

// top's rows above bottom's, as wide as the wider; cells beyond either input's width are Empty.
CellMatrix StackCellMatrices(const CellMatrix& top, const CellMatrix& bottom);

} // namespace vornix
