// xlhost --list lines: the registered texts unchanged, tab-separated, argument helps last.
#include "FunctionListing.h"

#include <gtest/gtest.h>

namespace {

TEST(FunctionListing, RegisteredTextsInTheirOrderSeparatedByTabs) {
    xlstandin::Registration function;
    function.module = "C:\\addins\\Tesmor.xll";
    function.procedure = "xlbin_Dec2Bin";
    function.typeText = "QQB";
    function.functionText = "bin_Dec2Bin";
    function.argumentText = "dec, precision";
    function.category = "BinaryOperations";
    function.functionHelp = " Decimal to Binary conversion ";
    function.argumentHelps = {" Decimal number to be converted . ", " Precision . "};
    EXPECT_EQ("bin_Dec2Bin\txlbin_Dec2Bin\tQQB\tdec, precision\tBinaryOperations\t Decimal to "
              "Binary conversion \t Decimal number to be converted . \t Precision . ",
              xlhost::FunctionListing::Line(function));

    function.argumentHelps.clear();
    function.functionHelp.clear();
    EXPECT_EQ("bin_Dec2Bin\txlbin_Dec2Bin\tQQB\tdec, precision\tBinaryOperations\t",
              xlhost::FunctionListing::Line(function));
}

} // namespace
