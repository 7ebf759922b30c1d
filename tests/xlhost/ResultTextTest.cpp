// The lines xlhost prints for results: exact number forms, escaped texts of both record
// layouts, and the other kinds of value.
#include "ResultText.h"

#include <vornix/ExcelApi.h>

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

using xlhost::ResultText;
using xlstandin::CallResult;
using xlstandin::HostValue;

std::string Line(const HostValue& value, bool wideText = true) {
    return ResultText::Of(CallResult{value, true, false}, wideText);
}

TEST(ResultText, NumbersInPlainNotationFrom1EMinus5UpToBelow1E16) {
    EXPECT_EQ("100000", Line(HostValue::Number(100000)));
    EXPECT_EQ("0.0001", Line(HostValue::Number(0.0001)));
    EXPECT_EQ("0.00001", Line(HostValue::Number(1e-5)));
    EXPECT_EQ("-0.000012345", Line(HostValue::Number(-1.2345e-5)));
    EXPECT_EQ("1000000000000000", Line(HostValue::Number(1e15)));
    EXPECT_EQ("9999999999999998", Line(HostValue::Number(9999999999999998.0)));
    EXPECT_EQ("123456.789", Line(HostValue::Number(123456.789)));
    EXPECT_EQ("0", Line(HostValue::Number(0)));
    EXPECT_EQ("-0", Line(HostValue::Number(-0.0)));
}

TEST(ResultText, NumbersOutsideThePlainRangeInTheShortestExponentForm) {
    EXPECT_EQ("1e+16", Line(HostValue::Number(1e16)));
    EXPECT_EQ("1e+20", Line(HostValue::Number(1e20)));
    EXPECT_EQ("9.999999999999999e-06", Line(HostValue::Number(9.999999999999999e-06)));
    EXPECT_EQ("5.562684646268003e-309", Line(HostValue::Number(5.562684646268003e-309)));
    EXPECT_EQ("-2.5e+300", Line(HostValue::Number(-2.5e300)));
}

TEST(ResultText, NumbersInTheShortestFormThatReadsBackTheSame) {
    EXPECT_EQ("2.5", Line(HostValue::Number(2.5)));
    EXPECT_EQ("0.09999999962747097", Line(HostValue::Number(0.09999999962747097)));
    EXPECT_EQ("-5.25", Line(HostValue::Number(-5.25)));
    EXPECT_EQ("6", Line(HostValue::Number(6)));
    EXPECT_EQ("1e-07", Line(HostValue::Number(1e-07)));
    EXPECT_EQ("1.7976931348623157e+308",
              Line(HostValue::Number(std::numeric_limits<double>::max())));
}

TEST(ResultText, NumbersExcelCannotHoldAreNumErrors) {
    EXPECT_EQ("#NUM!", Line(HostValue::Number(std::numeric_limits<double>::infinity())));
    EXPECT_EQ("#NUM!", Line(HostValue::Number(-std::numeric_limits<double>::infinity())));
    EXPECT_EQ("#NUM!", Line(HostValue::Number(std::numeric_limits<double>::quiet_NaN())));
}

TEST(ResultText, TextsQuotedWithOtherCharactersEscapedByLayout) {
    EXPECT_EQ("\"10.100\"", Line(HostValue::Text("10.100")));
    EXPECT_EQ("\"10.100\\0\"", Line(HostValue::Text(std::string("10.100\0", 7)), false));
    EXPECT_EQ("\"say \"\"hi\"\"\"", Line(HostValue::Text("say \"hi\"")));
    EXPECT_EQ("\"\"", Line(HostValue::Text("")));
    EXPECT_EQ("\"a\\x09b\\xE9\\x7F\"", Line(HostValue::Text("a\tb\xE9\x7F"), false));
    EXPECT_EQ("\"a\\u0009b\\u00E9\\u20AC\\0\"",
              Line(HostValue::Text(std::u16string(u"a\tb\u00E9\u20AC\0", 6))));
    // An XLOPER text's characters are code page 1252 bytes: they print as those bytes.
    EXPECT_EQ("\"\\x80\\x9F\"", Line(HostValue::Text(u"\u20AC\u0178"), false));
}

TEST(ResultText, OtherValues) {
    EXPECT_EQ("TRUE", Line(HostValue::Boolean(true)));
    EXPECT_EQ("FALSE", Line(HostValue::Boolean(false)));
    EXPECT_EQ("#VALUE!", Line(HostValue::Error(xlerrValue)));
    EXPECT_EQ("#DIV/0!", Line(HostValue::Error(xlerrDiv0)));
    EXPECT_EQ("(null)", ResultText::Of(CallResult{HostValue::Missing(), true, true}, true));
    const HostValue array = HostValue::Array(
        2, 2,
        {HostValue::Number(1), HostValue::Text("a\xE9"),
         HostValue::Number(std::numeric_limits<double>::infinity()), HostValue::Error(xlerrNA)});
    EXPECT_EQ("{1,\"a\\xE9\";#NUM!,#N/A}", Line(array, false));
    EXPECT_EQ("{1,\"a\\u00E9\";#NUM!,#N/A}", Line(array, true));
}

} // namespace
