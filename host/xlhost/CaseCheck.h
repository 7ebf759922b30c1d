// Runs the lines of a case file in order, setting cells and comparing each formula's result line
// with the expected one: numbers equal to 15 significant digits, as Excel shows them; texts,
// errors and arrays exactly. Prints one line per failing case and closes with
// "N passed, N failed".
#pragma once

#include "CaseFile.h"

#include <functional>
#include <ostream>
#include <string>

namespace xlhost {

class CaseCheck {
public:
    using CellSetter = std::function<void(const CellAssignment&)>;
    // The result line of the formula with the given index (0 for the file's first formula).
    using Evaluator = std::function<std::string(std::size_t index, const CaseLine&)>;

    // The number of failed cases.
    static int Run(const std::vector<CaseLine>& cases, const CellSetter& setCells,
                   const Evaluator& evaluate, std::ostream& out);

    static bool Matches(const std::string& expected, const std::string& got);
};

} // namespace xlhost
