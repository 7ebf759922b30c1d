// The worksheet calls measured: each of the seven functions, with value arguments given as
// numbers and as texts where the function takes values. Bit counts and precisions are doubles,
// as Excel passes them.
#pragma once

#include "ExcelApi.h"

#include <string>
#include <vector>

enum class WorksheetFunction { Dec2Bin, Bin2Dec, BitXor, BitOr, BitAnd, LeftShift, RightShift };

struct WorksheetCase {
    std::string name;    // benchmark name part, e.g. "Dec2Bin/number"
    std::string formula; // as a cell would hold it, e.g. "bin_Dec2Bin(2.5, 3)"
    WorksheetFunction function;
    bool textArguments; // value arguments arrive as texts rather than numbers
    double first;       // first argument
    double second;      // second argument: a value, a precision or a bit count
    const char* firstText;
    const char* secondText;

    // How many arguments arrive as value records (0 for the shifts, which take doubles).
    int ValueArguments() const;
    // Whether the result is a text rather than a number.
    bool TextResult() const { return function == WorksheetFunction::Dec2Bin; }
};

const std::vector<WorksheetCase>& WorksheetCases();

// The library's entry point for the case, called with the value records of the running mode.
LPXLFOPER CallLibrary(const WorksheetCase& call, LPXLFOPER first, LPXLFOPER second);

// The case's arithmetic on texts (value arguments) or doubles, as the entry points run it: a
// text for Dec2Bin, a number for the rest.
std::string ComputeText(const WorksheetCase& call, const std::string& value, double precision);
double ComputeNumber(const WorksheetCase& call, const std::string& first,
                     const std::string& second);
