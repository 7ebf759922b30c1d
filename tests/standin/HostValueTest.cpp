// The host value: what equality compares, what arrays accept, and the readable form that test
// messages show.
#include "HostValue.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>

namespace {

using xlstandin::CellArea;
using xlstandin::HostValue;

std::string Printed(const HostValue& value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

TEST(HostValueTest, EqualityComparesKindAndContents) {
    EXPECT_NE(HostValue::Number(1), HostValue::Boolean(true));
    EXPECT_NE(HostValue::Number(15), HostValue::Error(15));
    EXPECT_NE(HostValue::Missing(), HostValue::Nil());
    EXPECT_EQ(HostValue::Text("ab"), HostValue::Text(u"ab"));
    EXPECT_NE(HostValue::Array(1, 2, {HostValue::Nil(), HostValue::Nil()}),
              HostValue::Array(2, 1, {HostValue::Nil(), HostValue::Nil()}));
    EXPECT_NE(HostValue::Reference(1, {CellArea{0, 0, 0, 0}}),
              HostValue::Reference(2, {CellArea{0, 0, 0, 0}}));
}

TEST(HostValueTest, ArraysHoldRowsTimesColumnsPlainValues) {
    EXPECT_THROW(HostValue::Array(2, 2, {HostValue::Number(1)}), std::invalid_argument);
    EXPECT_THROW(HostValue::Array(0, 0, {}), std::invalid_argument);
    const HostValue inner = HostValue::Array(1, 1, {HostValue::Number(1)});
    EXPECT_THROW(HostValue::Array(1, 1, {inner}), std::invalid_argument);
    const HostValue array = HostValue::Array(
        2, 2,
        {HostValue::Number(1), HostValue::Number(2), HostValue::Number(3), HostValue::Number(4)});
    EXPECT_EQ(HostValue::Number(3), array.At(1, 0));
    EXPECT_THROW(array.At(2, 0), std::out_of_range);
}

TEST(HostValueTest, TextsWidenBytesAndNarrowWideUnits) {
    EXPECT_EQ(u"\u00e9", HostValue::Text("\xe9").AsText());
    EXPECT_EQ("a?", HostValue::Text(u"a\u20ac").AsNarrowText());
}

TEST(HostValueTest, ReadableForm) {
    EXPECT_EQ("0.1", Printed(HostValue::Number(0.1)));
    EXPECT_EQ("\"say \"\"hi\"\"\\0\\x07\\u20AC\"",
              Printed(HostValue::Text(std::u16string(u"say \"hi\"\0\a\u20ac", 11))));
    EXPECT_EQ("{1,TRUE;#N/A,(nil)}",
              Printed(HostValue::Array(2, 2,
                                       {HostValue::Number(1), HostValue::Boolean(true),
                                        HostValue::Error(42), HostValue::Nil()})));
    EXPECT_EQ("ref(sheet 3 R1C2:R4C5)", Printed(HostValue::Reference(3, {CellArea{0, 3, 1, 4}})));
}

TEST(HostValueTest, ErrorNamesAreExcels) {
    const std::pair<int, const char*> names[] = {
        {0, "#NULL!"}, {7, "#DIV/0!"}, {15, "#VALUE!"},       {23, "#REF!"}, {29, "#NAME?"},
        {36, "#NUM!"}, {42, "#N/A"},   {43, "#GETTING_DATA"}, {99, "#ERR99"}};
    for (const auto& name : names) {
        EXPECT_EQ(name.second, HostValue::ErrorName(name.first));
    }
}

} // namespace
