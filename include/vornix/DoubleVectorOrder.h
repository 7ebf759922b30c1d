#pragma once

namespace vornix {

// How a block of cells is read as a vector of numbers.
enum DoubleVectorOrder {
    OneDimensional = 0, // only a single row or a single column is accepted
    RowByRow = 1,
    ColumnByColumn = 2,
};

} // namespace vornix
