#include "WorksheetCase.h"

#include "BinaryArithmetic.h"
#include "WorksheetCall.h"
#include "WorksheetFunctions.h"

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
        {"Dec2Bin/number", "bin_Dec2Bin(2.5, 3)", F::Dec2Bin, false, 2.5, 3, "2.5", nullptr},
        {"Dec2Bin/text", "bin_Dec2Bin(\"2.5\", 3)", F::Dec2Bin, true, 2.5, 3, "2.5", nullptr},
        {"Bin2Dec/number", "bin_Bin2Dec(101.01)", F::Bin2Dec, false, 101.01, 0, "101.01", nullptr},
        {"Bin2Dec/text", "bin_Bin2Dec(\"101.01\")", F::Bin2Dec, true, 101.01, 0, "101.01", nullptr},
        {"bitXOR/number", "bin_bitXOR(5.25, 3.5)", F::BitXor, false, 5.25, 3.5, "5.25", "3.5"},
        {"bitXOR/text", "bin_bitXOR(\"5.25\", \"3.5\")", F::BitXor, true, 5.25, 3.5, "5.25", "3.5"},
        {"bitOR/number", "bin_bitOR(5.25, 3.5)", F::BitOr, false, 5.25, 3.5, "5.25", "3.5"},
        {"bitOR/text", "bin_bitOR(\"5.25\", \"3.5\")", F::BitOr, true, 5.25, 3.5, "5.25", "3.5"},
        {"bitAnd/number", "bin_bitAnd(5.25, 3.5)", F::BitAnd, false, 5.25, 3.5, "5.25", "3.5"},
        {"bitAnd/text", "bin_bitAnd(\"5.25\", \"3.5\")", F::BitAnd, true, 5.25, 3.5, "5.25", "3.5"},
        {"leftShift", "bin_leftShift(1.5, 3)", F::LeftShift, false, 1.5, 3, nullptr, nullptr},
        {"RightShift", "bin_RightShift(5, 1)", F::RightShift, false, 5, 1, nullptr, nullptr},
    };
    return cases;
}

LPXLFOPER CallLibrary(const WorksheetCase& call, LPXLFOPER first, LPXLFOPER second) {
    switch (call.function) {
    case WorksheetFunction::Dec2Bin:
        return xlbin_Dec2Bin(first, call.second);
    case WorksheetFunction::Bin2Dec:
        return xlbin_Bin2Dec(first);
    case WorksheetFunction::BitXor:
        return xlbin_bitXOR(first, second);
    case WorksheetFunction::BitOr:
        return xlbin_bitOR(first, second);
    case WorksheetFunction::BitAnd:
        return xlbin_bitAnd(first, second);
    case WorksheetFunction::LeftShift:
        return xlbin_leftShift(call.first, call.second);
    case WorksheetFunction::RightShift:
        return xlbin_RightShift(call.first, call.second);
    }
    return nullptr;
}

std::string ComputeText(const WorksheetCase&, const std::string& value, double precision) {
    return DecimalToBinary(value, WorksheetCall::Count(precision));
}

double ComputeNumber(const WorksheetCase& call, const std::string& first,
                     const std::string& second) {
    switch (call.function) {
    case WorksheetFunction::Bin2Dec:
        return BinaryToDecimal(first);
    case WorksheetFunction::BitXor:
        return BitwiseXor(first, second);
    case WorksheetFunction::BitOr:
        return BitwiseOr(first, second);
    case WorksheetFunction::BitAnd:
        return BitwiseAnd(first, second);
    case WorksheetFunction::LeftShift:
        return ShiftLeft(call.first, WorksheetCall::Count(call.second));
    case WorksheetFunction::RightShift:
        return ShiftRight(call.first, WorksheetCall::Count(call.second));
    default:
        return 0;
    }
}
