// A case file of xlhost --check: each line "FORMULA => EXPECTED", EXPECTED written as xlhost
// prints the result, or "REF=VALUE" setting cells for the formulas that follow; blank lines and
// lines starting with "#" are skipped.
#pragma once

#include "CellLine.h"
#include "CellReference.h"
#include "Expression.h"

#include <string>
#include <vector>

namespace xlhost {

struct CaseLine {
    int number = 0; // in the file, from 1
    bool setsCells = false;
    CellAssignment cells;
    std::string formulaText;
    Expression formula;
    std::string expected;
};

class CaseFile {
public:
    // False with one line, "FILE:LINE: reason", for the first line that does not read, or
    // saying that the file cannot be read.
    static bool Read(const std::string& path, const SheetGrid& grid, std::vector<CaseLine>& cases,
                     std::string& error);
    static bool Parse(const std::vector<std::string>& lines, const std::string& name,
                      const SheetGrid& grid, std::vector<CaseLine>& cases, std::string& error);

private:
    static bool ParseCase(const std::string& text, const SheetGrid& grid, CaseLine& line,
                          std::string& reason);
};

} // namespace xlhost
