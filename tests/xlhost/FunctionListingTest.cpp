// xlhost --list lines: the registered texts tab-separated, argument helps last, each character
// shown as in a text result.
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

TEST(FunctionListing, CharactersThatCouldBreakTheLineShowAsInTextResults) {
    xlstandin::Registration function;
    function.procedure = "M";
    function.functionText = std::string("M\u00E4\0x", 5); // UTF-8, a NUL inside
    function.category = "a\tb \"c\" \u20AC";
    function.wideTexts = true;
    EXPECT_EQ("M\\u00E4\\0x\tM\t\t\ta\\u0009b \"c\" \\u20AC\t",
              xlhost::FunctionListing::Line(function));
    function.wideTexts = false; // registered through Excel4: code page 1252 bytes
    EXPECT_EQ("M\\xE4\\0x\tM\t\t\ta\\x09b \"c\" \\x80\t", xlhost::FunctionListing::Line(function));
}

} // namespace
