#include <vornix/CellMatrix.h>

#include "MatrixDimension.h"
#include <vornix/DoubleMatrix.h>

#include <algorithm>

namespace vornix {

CellMatrix::CellMatrix() : rowCount_(0), columnCount_(0) {}

CellMatrix::CellMatrix(unsigned long rowCount, unsigned long columnCount)
    : rowCount_(CheckedDimension(rowCount)), columnCount_(CheckedDimension(columnCount)) {
    rows_.resize(rowCount_);
    Widen(rows_, columnCount_);
}

CellMatrix::CellMatrix(const MatrixCell& cell) : rows_(1), rowCount_(1), columnCount_(1) {
    rows_[0].push_back(cell);
}

CellMatrix::CellMatrix(double number) : CellMatrix(MatrixCell(number)) {}

CellMatrix::CellMatrix(int number) : CellMatrix(MatrixCell(number)) {}

CellMatrix::CellMatrix(unsigned long number)
    : CellMatrix(MatrixCell(static_cast<double>(number))) {}

CellMatrix::CellMatrix(const std::string& text) : CellMatrix(MatrixCell(text)) {}

CellMatrix::CellMatrix(const char* text) : CellMatrix(MatrixCell(text)) {}

CellMatrix::CellMatrix(const std::wstring& text) : CellMatrix(MatrixCell(text)) {}

CellMatrix::CellMatrix(const std::vector<double>& column)
    : rows_(column.size()), rowCount_(CheckedDimension(column.size())), columnCount_(1) {
    for (std::size_t i = 0; i < column.size(); ++i)
        rows_[i].push_back(MatrixCell(column[i]));
}

CellMatrix::CellMatrix(const DoubleMatrix& matrix)
    : CellMatrix(matrix.RowCount(), matrix.ColumnCount()) {
    for (std::uint32_t i = 0; i < rowCount_; ++i)
        for (std::uint32_t j = 0; j < columnCount_; ++j)
            rows_[i][j] = MatrixCell(matrix(i, j));
}

const MatrixCell& CellMatrix::operator()(unsigned long row, unsigned long column) const {
    return rows_.at(row).at(column);
}

MatrixCell& CellMatrix::operator()(unsigned long row, unsigned long column) {
    return rows_.at(row).at(column);
}

void CellMatrix::AppendBelow(const CellMatrix& other) {
    // Work on a copy: other may be this very table.
    CellMatrix appended(other);
    const std::uint32_t width = std::max(columnCount_, other.columnCount_);
    Widen(rows_, width);
    Widen(appended.rows_, width);
    rows_.insert(rows_.end(), appended.rows_.begin(), appended.rows_.end());
    rowCount_ = CheckedDimension(rows_.size());
    columnCount_ = width;
}

void CellMatrix::Widen(std::vector<std::vector<MatrixCell>>& rows, std::uint32_t width) {
    for (std::vector<MatrixCell>& row : rows)
        row.resize(width);
}

CellMatrix StackCellMatrices(const CellMatrix& top, const CellMatrix& bottom) {
    CellMatrix result(top.RowCount() + bottom.RowCount(),
                      std::max(top.ColumnCount(), bottom.ColumnCount()));
    for (unsigned long i = 0; i < top.RowCount(); ++i)
        for (unsigned long j = 0; j < top.ColumnCount(); ++j)
            result(i, j) = top(i, j);
    for (unsigned long i = 0; i < bottom.RowCount(); ++i)
        for (unsigned long j = 0; j < bottom.ColumnCount(); ++j)
            result(top.RowCount() + i, j) = bottom(i, j);
    return result;
}

} // namespace vornix
