// References as formulas and cell lines write them: [SHEET!]CELL[:CELL], a cell in A1 style with
// "$" allowed before its column and row ($B$2), a sheet by its name or, quoted, by any name
// ('My Sheet'!A1, '' for a quote inside). Column letters and sheet names are read without
// regard to case.
#pragma once

#include "HostValue.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace xlhost {

// The cells of a sheet: Excel 2007 and later have 1,048,576 rows and 16,384 columns (XFD),
// earlier versions 65,536 rows and 256 columns (IV).
struct SheetGrid {
    std::int32_t rows;
    std::int32_t columns;

    static SheetGrid Of(int excelVersion) {
        return excelVersion >= 12 ? SheetGrid{1048576, 16384} : SheetGrid{65536, 256};
    }
};

struct CellReference {
    std::string sheet; // as written; empty for the formula's own sheet
    xlstandin::CellArea area;

    bool IsOneCell() const {
        return area.rowFirst == area.rowLast && area.columnFirst == area.columnLast;
    }
};

class CellReferenceReader {
public:
    // Reads a reference at position and moves past it. False with reason empty when the text
    // there is no reference (a name, a call such as LOG10(...), a number), position unchanged;
    // false with the reason when it is one that the grid does not hold or that does not read.
    static bool Read(const std::string& text, std::size_t& position, const SheetGrid& grid,
                     CellReference& reference, std::string& reason);

    // "A1", "XFD1048576": a zero-based row and column in A1 style.
    static std::string CellName(std::int32_t row, std::int32_t column);
    // "A", "IV", "XFD": a zero-based column's letters.
    static std::string ColumnName(std::int32_t column);
    // "IV65536": the grid's last cell.
    static std::string LastCell(const SheetGrid& grid);

private:
    static bool ReadSheet(const std::string& text, std::size_t& position, std::string& sheet);
    static bool ReadCell(const std::string& text, std::size_t& position, std::int64_t& row,
                         std::int64_t& column);
};

} // namespace xlhost
