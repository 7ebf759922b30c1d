// Excel's implicit intersection: where a function wants one value and a formula gives it a block
// of cells, Excel takes the cell of a one-column block in the formula's row, or of a one-row
// block in the formula's column, whatever sheet the block is on; any other block, or a block the
// formula's row or column misses, gives #VALUE!.
#pragma once

#include "HostValue.h"

namespace xlstandin {

class ImplicitIntersection {
public:
    // The one-cell reference the argument stands for where one value is wanted; any value that
    // is not a reference of several cells unchanged. False where Excel answers #VALUE!: a block
    // it cannot intersect, or a block outside formulas (caller null).
    static bool Of(const HostValue& argument, const CellArea* caller, HostValue& single);
};

} // namespace xlstandin
