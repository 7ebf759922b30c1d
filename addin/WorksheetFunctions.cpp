#include "WorksheetFunctions.h"

#include "BinaryArithmetic.h"
#include "WorksheetCall.h"

#include <cmath>
#include <string>

using vornix::XlfOper;

namespace {

// The argument as text: Excel coerces a number to the text it shows for it.
std::string Text(LPXLFOPER argument, const char* name) {
    return XlfOper(argument).AsString(name);
}

// A number Excel can show; an overflow shows as #NUM!, as Excel shows its own.
LPXLFOPER NumberResult(double value) {
    if (!std::isfinite(value))
        return XlfOper::Error(xlerrNum).AsValuePointer();
    return XlfOper(value).AsValuePointer();
}

template <typename Operation>
LPXLFOPER Bitwise(LPXLFOPER xNum1, LPXLFOPER xNum2, Operation operation) {
    return WorksheetCall::Run([&] {
        const std::string first = Text(xNum1, "xNum1");
        const std::string second = Text(xNum2, "xNum2");
        return NumberResult(operation(first, second));
    });
}

} // namespace

XLF_EXPORT LPXLFOPER WINAPI xlbin_Dec2Bin(LPXLFOPER dec, double precision) {
    return WorksheetCall::Run([&] {
        const std::string text = Text(dec, "dec");
        return XlfOper(DecimalToBinary(text, WorksheetCall::Count(precision))).AsValuePointer();
    });
}

XLF_EXPORT LPXLFOPER WINAPI xlbin_Bin2Dec(LPXLFOPER bin) {
    return WorksheetCall::Run([&] { return NumberResult(BinaryToDecimal(Text(bin, "bin"))); });
}

XLF_EXPORT LPXLFOPER WINAPI xlbin_bitXOR(LPXLFOPER xNum1, LPXLFOPER xNum2) {
    return Bitwise(xNum1, xNum2, BitwiseXor);
}

XLF_EXPORT LPXLFOPER WINAPI xlbin_bitOR(LPXLFOPER xNum1, LPXLFOPER xNum2) {
    return Bitwise(xNum1, xNum2, BitwiseOr);
}

XLF_EXPORT LPXLFOPER WINAPI xlbin_bitAnd(LPXLFOPER xNum1, LPXLFOPER xNum2) {
    return Bitwise(xNum1, xNum2, BitwiseAnd);
}

XLF_EXPORT LPXLFOPER WINAPI xlbin_leftShift(double xNum, double bits) {
    return WorksheetCall::Run(
        [&] { return NumberResult(ShiftLeft(xNum, WorksheetCall::Count(bits))); });
}

XLF_EXPORT LPXLFOPER WINAPI xlbin_RightShift(double xNum, double bits) {
    return WorksheetCall::Run(
        [&] { return NumberResult(ShiftRight(xNum, WorksheetCall::Count(bits))); });
}
