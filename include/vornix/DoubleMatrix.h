// Dense matrix of doubles: one contiguous row-major element block and a table of row pointers
// into it, so that m[i][j] and m(i, j) reach the same element. Copies are deep.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vornix {

class DoubleMatrix {
public:
    // All elements 0.0. A shape with no elements allocates nothing. Throws std::bad_alloc when
    // the element count cannot be allocated (overflow included), std::length_error for a count
    // beyond 32 bits.
    DoubleMatrix(unsigned long rowCount, unsigned long columnCount);
    DoubleMatrix(const DoubleMatrix& other);
    // Reuses the storage when the shapes are equal. If new storage cannot be had, the matrix is
    // left 0 x 0 and the exception passes on.
    DoubleMatrix& operator=(const DoubleMatrix& other);
    ~DoubleMatrix();

    unsigned long RowCount() const { return rowCount_; }
    unsigned long ColumnCount() const { return columnCount_; }

    // Unchecked: indices must be below the counts.
    double operator()(unsigned long row, unsigned long column) const { return rows_[row][column]; }
    double& operator()(unsigned long row, unsigned long column) { return rows_[row][column]; }
    // The row's elements. A row index not below the row count throws std::out_of_range; a row
    // of a matrix without columns has no elements and is null.
    const double* operator[](unsigned long row) const { return Row(row); }
    double* operator[](unsigned long row) { return Row(row); }

    // Same shape: nothing changes. Another shape: all elements become 0.0; on failure the
    // matrix is left 0 x 0, as for assignment.
    void Reshape(unsigned long rowCount, unsigned long columnCount);

private:
    double* Row(unsigned long row) const;
    std::size_t ElementCount() const;
    // Requires the matrix to hold no storage (0 x 0).
    void CreateStorage(unsigned long rowCount, unsigned long columnCount);
    void ReleaseStorage();

    std::uint32_t rowCount_;
    std::uint32_t columnCount_;
    double** rows_;
    double* elements_;
};

} // namespace vornix
