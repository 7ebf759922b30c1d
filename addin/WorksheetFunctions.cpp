#include "WorksheetFunctions.h"

#include "BinaryArithmetic.h"

#include <vornix/WorksheetCall.h>

#include <string>

using vornix::WorksheetCall;
using vornix::XlfOper;

namespace {

// The argument as text: Excel coerces a number to the text it shows for it.
std::string Text(LPXLFOPER argument, const char* name) {
    return XlfOper(argument).AsString(name);
}

template <typename Operation>
LPXLFOPER Bitwise(LPXLFOPER xNum1, LPXLFOPER xNum2, Operation operation) {
    return WorksheetCall::Run([&] {
        const std::string first = Text(xNum1, "xNum1");
        const std::string second = Text(xNum2, "xNum2");
        return operation(first, second);
    });
}

} // namespace

XLF_EXPORT LPXLFOPER WINAPI xlbin_Dec2Bin(LPXLFOPER dec, double precision) {
    return WorksheetCall::Run([&] {
        const std::string text = Text(dec, "dec");
        return DecimalToBinary(text, WholeCount(precision));
    });
}

XLF_EXPORT LPXLFOPER WINAPI xlbin_Bin2Dec(LPXLFOPER bin) {
    return WorksheetCall::Run([&] { return BinaryToDecimal(Text(bin, "bin")); });
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
    return WorksheetCall::Run([&] { return ShiftLeft(xNum, WholeCount(bits)); });
}

XLF_EXPORT LPXLFOPER WINAPI xlbin_RightShift(double xNum, double bits) {
    return WorksheetCall::Run([&] { return ShiftRight(xNum, WholeCount(bits)); });
}
