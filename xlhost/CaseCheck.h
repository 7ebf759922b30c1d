// Compares each formula's result line of a case file with the expected one: numbers equal to 15
// significant digits, as Excel shows them; texts, errors and arrays exactly. Prints one line per
// failing case and closes with "N passed, N failed".
#pragma once

#include "CaseFile.h"

#include <ostream>
#include <string>

namespace xlhost {

class CaseCheck {
public:
    explicit CaseCheck(std::ostream& out) : out_(out) {}

    // The result line of a formula case: a failing case prints its line.
    void Compare(const CaseLine& line, const std::string& got);
    // Prints "N passed, N failed"; the number of failed cases.
    int Close();

    static bool Matches(const std::string& expected, const std::string& got);

private:
    std::ostream& out_;
    int passed_ = 0;
    int failed_ = 0;
};

} // namespace xlhost
