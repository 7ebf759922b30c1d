#include "ArrayNewProbe.h"
#include <vornix/DoubleMatrix.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <new>
#include <stdexcept>
#include <string>

using vornix::DoubleMatrix;
using vornix_test::ArrayNewProbe;

namespace {

// "rows x columns: elements in row-major order".
std::string Picture(const DoubleMatrix& m) {
    std::string picture =
        std::to_string(m.RowCount()) + "x" + std::to_string(m.ColumnCount()) + ":";
    for (unsigned long i = 0; i < m.RowCount(); ++i)
        for (unsigned long j = 0; j < m.ColumnCount(); ++j)
            picture += " " + std::to_string(static_cast<int>(m(i, j)));
    return picture;
}

// Elements 1, 2, 3, ... in row-major order.
DoubleMatrix Counting(unsigned long rows, unsigned long columns) {
    DoubleMatrix m(rows, columns);
    for (unsigned long i = 0; i < rows * columns; ++i)
        m[i / columns][i % columns] = static_cast<double>(i + 1);
    return m;
}

TEST(DoubleMatrix, ElementsShareOneRowMajorBlock) {
    ArrayNewProbe probe;
    {
        DoubleMatrix m(2, 3);
        EXPECT_EQ(Picture(m), "2x3: 0 0 0 0 0 0");
        EXPECT_EQ(&m(1, 2), &m[0][0] + 5);
        EXPECT_EQ(&m(1, 2), &m[1][2]);
        EXPECT_EQ(probe.Allocations(), 2); // block and row table, whatever the shape
        EXPECT_EQ(Picture(DoubleMatrix(0, 0)) + Picture(DoubleMatrix(3, 0)) +
                      Picture(DoubleMatrix(0, 3)),
                  "0x0:3x0:0x3:");
        EXPECT_EQ(probe.Allocations(), 2);
    }
    EXPECT_EQ(probe.Outstanding(), 0);
}

// A shape with a zero extent keeps its counts and allocates nothing; reaching for one of its
// rows, or a row beyond the count of any matrix, never touches memory.
TEST(DoubleMatrix, RowAccessIsChecked) {
    DoubleMatrix noColumns(3, 0);
    EXPECT_EQ(noColumns[1], nullptr);
    EXPECT_EQ(noColumns[2], nullptr);
    EXPECT_THROW(noColumns[3], std::out_of_range);
    const DoubleMatrix noRows(0, 3);
    EXPECT_THROW(noRows[0], std::out_of_range);
    DoubleMatrix m = Counting(2, 2);
    EXPECT_EQ(m[1][1], 4.0);
    try {
        m[2];
        FAIL() << "row 2 of 2 rows was handed out";
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "row 2 of a matrix of 2 rows");
    }
    m.Reshape(4, 0);
    EXPECT_EQ(m[3], nullptr);
}

TEST(DoubleMatrix, ReshapeKeepsValuesOnlyForTheSameShape) {
    DoubleMatrix m = Counting(2, 2);
    ArrayNewProbe probe;
    m.Reshape(2, 2);
    EXPECT_EQ(Picture(m), "2x2: 1 2 3 4");
    EXPECT_EQ(probe.Allocations(), 0);
    m.Reshape(4, 1);
    EXPECT_EQ(Picture(m), "4x1: 0 0 0 0");
}

TEST(DoubleMatrix, CopyAndAssignmentAreDeep) {
    const DoubleMatrix source = Counting(2, 2);
    DoubleMatrix copy(source);
    copy(0, 0) = 8.0;
    EXPECT_EQ(Picture(source) + Picture(copy), "2x2: 1 2 3 42x2: 8 2 3 4");

    DoubleMatrix other(1, 5);
    other = source;
    EXPECT_EQ(Picture(other), "2x2: 1 2 3 4");
}

TEST(DoubleMatrix, AssignmentReusesStorageOfTheSameShape) {
    const DoubleMatrix source = Counting(2, 2);
    DoubleMatrix target(2, 2);
    const double* storage = &target(0, 0);
    ArrayNewProbe probe;
    target = source;
    target = target;
    EXPECT_EQ(Picture(target), "2x2: 1 2 3 4");
    EXPECT_EQ(&target(0, 0), storage);
    EXPECT_EQ(probe.Allocations() + probe.Releases(), 0);
}

// Shapes whose element count overflows, or whose byte count exceeds any possible object, are
// refused before anything is allocated, and the matrix is left empty.
TEST(DoubleMatrix, ImpossibleShapesThrowBadAlloc) {
    const unsigned long most = std::numeric_limits<std::uint32_t>::max();
    const unsigned long shapes[][2] = {
        {most, most}, {1ul << 31, 1ul << 31}, {1ul << 30, 1ul << 30}};
    for (const auto& shape : shapes) {
        DoubleMatrix m = Counting(2, 2);
        ArrayNewProbe probe;
        EXPECT_THROW(DoubleMatrix(shape[0], shape[1]), std::bad_alloc);
        EXPECT_THROW(m.Reshape(shape[0], shape[1]), std::bad_alloc);
        ASSERT_EQ(Picture(m), "0x0:");
        EXPECT_EQ(probe.Allocations() - probe.Releases(), -2);
    }
    if (sizeof(std::size_t) == 4) {
        EXPECT_THROW(DoubleMatrix(most, 3), std::bad_alloc);              // elements overflow
        EXPECT_THROW(DoubleMatrix(1ul << 16, 1ul << 14), std::bad_alloc); // bytes overflow
    }
    if (sizeof(unsigned long) > sizeof(std::uint32_t)) { // counts are 32-bit
        EXPECT_THROW(DoubleMatrix(most + 1, 0), std::length_error);
        DoubleMatrix wide = Counting(1, 1);
        EXPECT_THROW(wide.Reshape(0, most + 1), std::length_error);
        EXPECT_EQ(Picture(wide), "0x0:");
    }
}

TEST(DoubleMatrix, FailedAllocationLeavesAnEmptyUsableMatrix) {
    const DoubleMatrix source = Counting(2, 2);
    for (int successes = 0; successes < 2; ++successes) { // block fails, then row table
        SCOPED_TRACE(successes);
        DoubleMatrix target = Counting(1, 1);
        DoubleMatrix reshaped = Counting(1, 1);
        ArrayNewProbe probe;
        probe.FailAfter(successes);
        EXPECT_THROW(target = source, std::bad_alloc);
        ASSERT_EQ(Picture(target), "0x0:");
        probe.FailAfter(successes);
        EXPECT_THROW(reshaped.Reshape(3, 1), std::bad_alloc);
        ASSERT_EQ(Picture(reshaped), "0x0:");
        probe.FailAfter(successes);
        EXPECT_THROW(DoubleMatrix copy(source), std::bad_alloc);
        EXPECT_EQ(probe.Outstanding(), -4); // old storage released, no half-built part kept

        target = source;
        reshaped.Reshape(1, 2);
        EXPECT_EQ(Picture(target) + Picture(reshaped), "2x2: 1 2 3 41x2: 0 0");
    }
}

} // namespace
