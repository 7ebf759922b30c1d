// Values given to cells before the formulas run, written REF=VALUE as --cell, --cells files and
// case files take them: A1=2.5, $B$2="text", Sheet2!C3=TRUE, 'My Sheet'!A1=#N/A, or an array
// A1={1,2;3,4} that fills the block starting at its cell.
#pragma once

#include "CellReference.h"
#include "HostValue.h"
#include "SheetModel.h"

#include <string>
#include <vector>

namespace xlhost {

struct CellAssignment {
    CellReference cell;
    xlstandin::HostValue value;
};

class CellLine {
public:
    // Whether the text starts with a reference and "=", as a cell line and no formula does.
    static bool IsCellLine(const std::string& text);

    // False with the reason for a line that is not REF=VALUE, a block beyond the grid, or a
    // block reaching into the formulas' column of the first sheet.
    static bool Parse(const std::string& text, const SheetGrid& grid, CellAssignment& assignment,
                      std::string& reason);

    // The lines of a --cells file: REF=VALUE each, blank lines and "#" comments skipped. False
    // with "FILE:LINE: reason" for the first line that does not read, or saying that the file
    // cannot be read.
    static bool ReadFile(const std::string& path, const SheetGrid& grid,
                         std::vector<CellAssignment>& assignments, std::string& error);
    static bool ParseLines(const std::vector<std::string>& lines, const std::string& name,
                           const SheetGrid& grid, std::vector<CellAssignment>& assignments,
                           std::string& error);

    // Sets the cells, adding the sheet when it is new.
    static void Apply(const CellAssignment& assignment, xlstandin::SheetModel& sheets);

private:
    static bool ReadTarget(const std::string& text, std::size_t& position, const SheetGrid& grid,
                           CellReference& cell, std::string& reason);
    static bool CheckBlock(const CellReference& cell, const xlstandin::HostValue& value,
                           const SheetGrid& grid, std::string& reason);
};

} // namespace xlhost
