// The add-in's worksheet functions, declared to the registry while the library loads, in the
// order in which xlAutoOpen registers them.
#include <vornix/FunctionDeclaration.h>

using vornix::ArgumentInfo;
using vornix::FunctionDeclaration;

namespace {

const char* const Category = "BinaryOperations";

const ArgumentInfo Dec2BinArguments[] = {
    {"dec", " Decimal number to be converted ", "XLF_OPER"},
    {"precision", " Precision ", "B"},
};
const ArgumentInfo Bin2DecArguments[] = {
    {"bin", " Binary number to be converted ", "XLF_OPER"},
};
const ArgumentInfo BitXorArguments[] = {
    {"xNum1", " First Number ", "XLF_OPER"},
    {"xNum2", " Second Number ", "XLF_OPER"},
};
const ArgumentInfo BitOrArguments[] = {
    {"xNum1", " First Number ", "XLF_OPER"},
    {"xNum2", " Second Number ", "XLF_OPER"},
};
const ArgumentInfo BitAndArguments[] = {
    {"xNum1", " First Number ", "XLF_OPER"},
    {"xNum2", " Second Number ", "XLF_OPER"},
};
const ArgumentInfo LeftShiftArguments[] = {
    {"xNum", " Input Number on which left shift needs to be performed ", "B"},
    {"bits", " Number of bits ", "B"},
};
const ArgumentInfo RightShiftArguments[] = {
    {"xNum", " Input Number on which right shift needs to be performed ", "B"},
    {"bits", " Number of bits ", "B"},
};

const FunctionDeclaration dec2Bin("xlbin_Dec2Bin", "bin_Dec2Bin", " Decimal to Binary conversion ",
                                  Category, Dec2BinArguments, 2, false, false, "");
const FunctionDeclaration bin2Dec("xlbin_Bin2Dec", "bin_Bin2Dec", " Binary to Decimal conversion ",
                                  Category, Bin2DecArguments, 1, false, false, "");
const FunctionDeclaration bitXor("xlbin_bitXOR", "bin_bitXOR", " Performs bit by bit XoR ",
                                 Category, BitXorArguments, 2, false, false, "");
const FunctionDeclaration bitOr("xlbin_bitOR", "bin_bitOR", " Performs bit by bit OR ", Category,
                                BitOrArguments, 2, false, false, "");
const FunctionDeclaration bitAnd("xlbin_bitAnd", "bin_bitAnd", " Performs bit by bit And ",
                                 Category, BitAndArguments, 2, false, false, "");
const FunctionDeclaration leftShift("xlbin_leftShift", "bin_leftShift",
                                    " Performs left shift operation ", Category, LeftShiftArguments,
                                    2, false, false, "");
const FunctionDeclaration rightShift("xlbin_RightShift", "bin_RightShift",
                                     " Performs right shift operation ", Category,
                                     RightShiftArguments, 2, false, false, "");

} // namespace
