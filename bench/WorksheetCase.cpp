#include "WorksheetCase.h"

int WorksheetCase::ValueArguments() const {
    switch (function) {
    case WorksheetFunction::Dec2Bin:
    case WorksheetFunction::Bin2Dec:
        return 1;
    case WorksheetFunction::BitXor:
    case WorksheetFunction::BitOr:
    case WorksheetFunction::BitAnd:
        return 2;
    default:
        return 0;
    }
}

const std::vector<WorksheetCase>& WorksheetCases() {
    using F = WorksheetFunction;
    static const std::vector<WorksheetCase> cases = {
        {"Dec2Bin/number", "bin_Dec2Bin(2.5, 3)", F::Dec2Bin, false, 2.5, 3, "2.5", nullptr,
         "xlbin_Dec2Bin", 5},
        {"Dec2Bin/text", "bin_Dec2Bin(\"2.5\", 3)", F::Dec2Bin, true, 2.5, 3, "2.5", nullptr,
         "xlbin_Dec2Bin", 4},
        {"Bin2Dec/number", "bin_Bin2Dec(101.01)", F::Bin2Dec, false, 101.01, 0, "101.01", nullptr,
         "xlbin_Bin2Dec", 4},
        {"Bin2Dec/text", "bin_Bin2Dec(\"101.01\")", F::Bin2Dec, true, 101.01, 0, "101.01", nullptr,
         "xlbin_Bin2Dec", 3},
        {"bitXOR/number", "bin_bitXOR(5.25, 3.5)", F::BitXor, false, 5.25, 3.5, "5.25", "3.5",
         "xlbin_bitXOR", 6},
        {"bitXOR/text", "bin_bitXOR(\"5.25\", \"3.5\")", F::BitXor, true, 5.25, 3.5, "5.25", "3.5",
         "xlbin_bitXOR", 4},
        {"bitOR/number", "bin_bitOR(5.25, 3.5)", F::BitOr, false, 5.25, 3.5, "5.25", "3.5",
         "xlbin_bitOR", 6},
        {"bitOR/text", "bin_bitOR(\"5.25\", \"3.5\")", F::BitOr, true, 5.25, 3.5, "5.25", "3.5",
         "xlbin_bitOR", 4},
        {"bitAnd/number", "bin_bitAnd(5.25, 3.5)", F::BitAnd, false, 5.25, 3.5, "5.25", "3.5",
         "xlbin_bitAnd", 6},
        {"bitAnd/text", "bin_bitAnd(\"5.25\", \"3.5\")", F::BitAnd, true, 5.25, 3.5, "5.25", "3.5",
         "xlbin_bitAnd", 4},
        {"leftShift", "bin_leftShift(1.5, 3)", F::LeftShift, false, 1.5, 3, nullptr, nullptr,
         "xlbin_leftShift", 2},
        {"RightShift", "bin_RightShift(5, 1)", F::RightShift, false, 5, 1, nullptr, nullptr,
         "xlbin_RightShift", 2},
    };
    return cases;
}
