// The worksheet calls measured: each of the seven functions, with value arguments given as
// numbers and as texts where the function takes values. Bit counts and precisions are doubles,
// as Excel passes them.
#pragma once

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
    const char* exportName; // the add-in's export for the function
    int mutexCycles;        // named-mutex cycles the call makes (reset, then one per block)

    // How many arguments arrive as value records (0 for the shifts, which take doubles).
    int ValueArguments() const;
    // Whether the result is a text rather than a number.
    bool TextResult() const { return function == WorksheetFunction::Dec2Bin; }
};

const std::vector<WorksheetCase>& WorksheetCases();
