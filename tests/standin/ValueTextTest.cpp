// One value on one line in each form: the stand-in's readable form and xlhost's result forms of
// both record layouts, for the characters and numbers where the forms differ.
#include "ValueText.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

using xlstandin::CellArea;
using xlstandin::HostValue;
using xlstandin::ValueText;

const ValueText::Form Excel12Result{ValueText::Numbers::PlainOrExponent,
                                    ValueText::Escapes::Excel12};
const ValueText::Form Excel4Result{ValueText::Numbers::PlainOrExponent, ValueText::Escapes::Excel4};

// Quote, NUL, a control character, DEL, e-acute, the euro sign (0x80 in code page 1252) and a
// character code page 1252 does not have.
const std::u16string Awkward(u"\"\0\x01\x7F\u00E9\u20AC\u4E2D", 7);

TEST(ValueText, TextsEscapeByForm) {
    EXPECT_EQ("\"\"\"\\0\\x01\\x7F\\xE9\\u20AC\\u4E2D\"",
              ValueText::Of(HostValue::Text(Awkward), ValueText::Readable));
    EXPECT_EQ("\"\"\"\\0\\u0001\\u007F\\u00E9\\u20AC\\u4E2D\"",
              ValueText::Of(HostValue::Text(Awkward), Excel12Result));
    EXPECT_EQ("\"\"\"\\0\\x01\\x7F\\xE9\\x80\\x3F\"",
              ValueText::Of(HostValue::Text(Awkward), Excel4Result));
    EXPECT_EQ("say \"hi\" \\u00E9",
              ValueText::Characters(u"say \"hi\" \u00E9", ValueText::Escapes::Excel12));
}

TEST(ValueText, NumbersInEitherShortestForm) {
    const double tiny = 1e-7;
    const double large = 1e16;
    const double exact = 123456.789;
    const double infinity = std::numeric_limits<double>::infinity();
    EXPECT_EQ("1e-07", ValueText::Of(HostValue::Number(tiny), ValueText::Readable));
    EXPECT_EQ("1e-07", ValueText::Of(HostValue::Number(tiny), Excel12Result));
    EXPECT_EQ("1e-05", ValueText::Of(HostValue::Number(1e-5), ValueText::Readable));
    EXPECT_EQ("0.00001", ValueText::Of(HostValue::Number(1e-5), Excel4Result));
    EXPECT_EQ("1e+16", ValueText::Of(HostValue::Number(large), ValueText::Readable));
    EXPECT_EQ("1e+16", ValueText::Of(HostValue::Number(large), Excel12Result));
    EXPECT_EQ("1e+15", ValueText::Of(HostValue::Number(1e15), ValueText::Readable));
    EXPECT_EQ("1000000000000000", ValueText::Of(HostValue::Number(1e15), Excel12Result));
    EXPECT_EQ("123456.789", ValueText::Of(HostValue::Number(exact), ValueText::Readable));
    EXPECT_EQ("123456.789", ValueText::Of(HostValue::Number(exact), Excel12Result));
    EXPECT_EQ(
        "-1.7976931348623157e+308",
        ValueText::Of(HostValue::Number(-std::numeric_limits<double>::max()), ValueText::Readable));
    EXPECT_EQ("5e-324", ValueText::Of(HostValue::Number(std::numeric_limits<double>::denorm_min()),
                                      Excel12Result));
    EXPECT_EQ("inf", ValueText::Of(HostValue::Number(infinity), ValueText::Readable));
    EXPECT_EQ("#NUM!", ValueText::Of(HostValue::Number(infinity), Excel12Result));
}

TEST(ValueText, OtherKindsAlikeInEveryForm) {
    for (const ValueText::Form form : {ValueText::Readable, Excel12Result, Excel4Result}) {
        EXPECT_EQ("(missing)", ValueText::Of(HostValue::Missing(), form));
        EXPECT_EQ("(nil)", ValueText::Of(HostValue::Nil(), form));
        EXPECT_EQ("FALSE", ValueText::Of(HostValue::Boolean(false), form));
        EXPECT_EQ("#GETTING_DATA", ValueText::Of(HostValue::Error(43), form));
        EXPECT_EQ("ref(sheet 9 R1C1:R2C3 R5C5:R5C5)",
                  ValueText::Of(
                      HostValue::Reference(9, {CellArea{0, 1, 0, 2}, CellArea{4, 4, 4, 4}}), form));
    }
    EXPECT_EQ("{1e+15,\"\\xE9\";TRUE,(nil)}",
              ValueText::Of(HostValue::Array(2, 2,
                                             {HostValue::Number(1e15), HostValue::Text("\xE9"),
                                              HostValue::Boolean(true), HostValue::Nil()}),
                            ValueText::Readable));
    EXPECT_EQ("{1000000000000000,\"\\u00E9\";TRUE,(nil)}",
              ValueText::Of(HostValue::Array(2, 2,
                                             {HostValue::Number(1e15), HostValue::Text("\xE9"),
                                              HostValue::Boolean(true), HostValue::Nil()}),
                            Excel12Result));
}

} // namespace
