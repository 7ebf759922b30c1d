#include <vornix/DoubleMatrix.h>

#include "MatrixDimension.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>

namespace vornix {

namespace {

// Refuses, before any allocation, a count whose product overflows or whose byte size exceeds
// what a single object may have.
std::size_t CheckedElementCount(std::uint32_t rowCount, std::uint32_t columnCount) {
    constexpr std::size_t kMaxElements = PTRDIFF_MAX / sizeof(double);
    if (columnCount != 0 && rowCount > kMaxElements / columnCount)
        throw std::bad_alloc();
    return static_cast<std::size_t>(rowCount) * columnCount;
}

} // namespace

DoubleMatrix::DoubleMatrix(unsigned long rowCount, unsigned long columnCount)
    : rowCount_(0), columnCount_(0), rows_(nullptr), elements_(nullptr) {
    CreateStorage(rowCount, columnCount);
}

DoubleMatrix::DoubleMatrix(const DoubleMatrix& other) : DoubleMatrix(0, 0) {
    CreateStorage(other.rowCount_, other.columnCount_);
    std::copy_n(other.elements_, ElementCount(), elements_);
}

DoubleMatrix& DoubleMatrix::operator=(const DoubleMatrix& other) {
    if (this == &other)
        return *this;
    if (rowCount_ != other.rowCount_ || columnCount_ != other.columnCount_) {
        ReleaseStorage();
        CreateStorage(other.rowCount_, other.columnCount_);
    }
    std::copy_n(other.elements_, ElementCount(), elements_);
    return *this;
}

DoubleMatrix::~DoubleMatrix() {
    ReleaseStorage();
}

void DoubleMatrix::Reshape(unsigned long rowCount, unsigned long columnCount) {
    if (rowCount == rowCount_ && columnCount == columnCount_)
        return;
    ReleaseStorage();
    CreateStorage(rowCount, columnCount);
}

// A shape with a zero extent keeps its counts but has no row table.
double* DoubleMatrix::Row(unsigned long row) const {
    if (row >= rowCount_)
        throw std::out_of_range("row " + std::to_string(row) + " of a matrix of " +
                                std::to_string(rowCount_) + " rows");
    return rows_ == nullptr ? nullptr : rows_[row];
}

std::size_t DoubleMatrix::ElementCount() const {
    return static_cast<std::size_t>(rowCount_) * columnCount_;
}

void DoubleMatrix::CreateStorage(unsigned long rowCount, unsigned long columnCount) {
    const std::uint32_t rows = CheckedDimension(rowCount);
    const std::uint32_t columns = CheckedDimension(columnCount);
    const std::size_t count = CheckedElementCount(rows, columns);
    if (count != 0) {
        // Both arrays are owned here until both exist, so a failed second allocation leaks
        // nothing and leaves the matrix as it was: 0 x 0.
        std::unique_ptr<double[]> block(new double[count]());
        std::unique_ptr<double*[]> table(new double*[rows]);
        for (std::uint32_t i = 0; i < rows; ++i)
            table[i] = block.get() + static_cast<std::size_t>(i) * columns;
        elements_ = block.release();
        rows_ = table.release();
    }
    rowCount_ = rows;
    columnCount_ = columns;
}

void DoubleMatrix::ReleaseStorage() {
    delete[] rows_;
    delete[] elements_;
    rows_ = nullptr;
    elements_ = nullptr;
    rowCount_ = 0;
    columnCount_ = 0;
}

} // namespace vornix
