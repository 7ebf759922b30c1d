#include "CaseArithmetic.h"

#include "BinaryArithmetic.h"

std::string ComputeText(const WorksheetCase&, const std::string& value, double precision) {
    return DecimalToBinary(value, WholeCount(precision));
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
        return ShiftLeft(call.first, WholeCount(call.second));
    case WorksheetFunction::RightShift:
        return ShiftRight(call.first, WholeCount(call.second));
    default:
        return 0;
    }
}
