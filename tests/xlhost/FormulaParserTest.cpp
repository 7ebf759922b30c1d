// Formulas as xlhost reads them from its command line, and the reasons it gives for text that
// is no formula.
#include "FormulaParser.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

using xlhost::Expression;
using xlhost::FormulaParser;

// NAME(argument,...) with the values as the stand-in writes them.
std::string Describe(const Expression& expression) {
    std::ostringstream text;
    if (expression.IsReference() && !expression.sheet.empty()) {
        text << expression.sheet << '!';
    }
    if (!expression.IsCall()) {
        text << expression.value;
        return text.str();
    }
    text << expression.name << '(';
    for (std::size_t i = 0; i < expression.arguments.size(); ++i) {
        text << (i > 0 ? "," : "") << Describe(expression.arguments[i]);
    }
    text << ')';
    return text.str();
}

std::string Parsed(const std::string& formula) {
    Expression expression;
    std::string reason;
    EXPECT_TRUE(FormulaParser::Parse(formula, expression, reason)) << formula << ": " << reason;
    return Describe(expression);
}

std::string Refused(const std::string& formula,
                    const xlhost::SheetGrid& grid = xlhost::SheetGrid::Of(12)) {
    Expression expression;
    std::string reason;
    EXPECT_FALSE(FormulaParser::Parse(formula, expression, reason, grid)) << formula;
    return reason;
}

TEST(FormulaParser, ReadsEveryKindOfArgument) {
    EXPECT_EQ(
        "bin_Dec2Bin(2.5,-6.75,1e-07,0.5,\"a\"\"b\",\"\",TRUE,FALSE,#N/A,{1,\"x\";TRUE,#DIV/0!})",
        Parsed("=bin_Dec2Bin(2.5, -6.75, 1E-07, .5, \"a\"\"b\", \"\", TRUE, false, #N/A, "
               "{1,\"x\";true,#DIV/0!})"));
    EXPECT_EQ("f((missing),(missing),3)", Parsed("f( , ,3)"));
    EXPECT_EQ("f()", Parsed("f()"));
    EXPECT_EQ("f()", Parsed("f( )"));
    EXPECT_EQ("f({1;2;3})", Parsed("f({ 1 ; 2 ; 3 })"));
}

TEST(FormulaParser, ReadsReferencesAsArguments) {
    EXPECT_EQ("f(ref(sheet 0 R1C1:R1C1),ref(sheet 0 R2C2:R3C3),Sheet2!ref(sheet 0 R1C1:R10C1))",
              Parsed("f(A1, $B$2:C3, Sheet2!A1:A10)"));
    EXPECT_EQ("f(My Sheet!ref(sheet 0 R1C1:R1C1),LOG10(ref(sheet 0 R1C1:R1C1)))",
              Parsed("f('My Sheet'!A1, LOG10(A1))"));
    EXPECT_EQ("at column 3: expected a cell after \"Sheet2!\"", Refused("f(Sheet2!)"));
    EXPECT_EQ("at column 3: \"XFD1\" reaches beyond the sheet's last cell IV65536",
              Refused("f(XFD1)", xlhost::SheetGrid::Of(11)));
    EXPECT_EQ("at column 4: an array holds constants only", Refused("f({A1})"));
}

TEST(FormulaParser, ReadsConstantsAlone) {
    xlstandin::HostValue value;
    std::string reason;
    ASSERT_TRUE(FormulaParser::ParseValue(" {1,\"x\";TRUE,#N/A} ", value, reason)) << reason;
    std::ostringstream text;
    text << value;
    EXPECT_EQ("{1,\"x\";TRUE,#N/A}", text.str());
    EXPECT_FALSE(FormulaParser::ParseValue("1 2", value, reason));
    EXPECT_EQ("at column 3: unexpected \"2\" after the value", reason);
    EXPECT_FALSE(FormulaParser::ParseValue("f(1)", value, reason));
    EXPECT_EQ("at column 1: an array holds constants only", reason);
    EXPECT_FALSE(FormulaParser::ParseValue("", value, reason));
    EXPECT_EQ("at column 1: expected a value", reason);
}

TEST(FormulaParser, ReadsNestedCallsAndKeepsTheNamesAsWritten) {
    EXPECT_EQ("bin_Bin2Dec(BIN_DEC2BIN(10.1,8))", Parsed("  bin_Bin2Dec( BIN_DEC2BIN(10.1 ,8) ) "));
    EXPECT_EQ("a.b_2(g(h()),TRUE)", Parsed("a.b_2(g(h()),True)"));
}

// Formulas are UTF-8: names may hold any character beyond ASCII, texts become UTF-16, columns
// count characters.
TEST(FormulaParser, ReadsUtf8NamesAndTexts) {
    EXPECT_EQ("M\u00E4\u00DFig(\"\\u20AC\")", Parsed("M\u00E4\u00DFig(\"\u20AC\")"));
    EXPECT_EQ("\u03A9(\u0416(1))", Parsed("=\u03A9(\u0416(1))"));
    Expression call;
    std::string reason;
    ASSERT_TRUE(FormulaParser::Parse("f(\"\u20AC\U0001F600\")", call, reason));
    EXPECT_EQ(u"\u20AC\U0001F600", call.arguments[0].value.AsText());
    EXPECT_EQ("at column 9: unknown name \"\u00E4\"", Refused("f(\"\u00E4\u20AC\", \u00E4"));
    EXPECT_EQ("at column 6: unexpected \"\u20AC\" after the call", Refused("f(1) \u20AC"));
    EXPECT_EQ("at column 4: not UTF-8 text", Refused("f(\"\xE4\")"));
}

// References and UTF-8 read together: sheet names beyond ASCII, plain or quoted, beside names
// and texts beyond ASCII; columns count characters in what references refuse too.
TEST(FormulaParser, ReadsReferencesAmongUtf8NamesAndTexts) {
    EXPECT_EQ(
        "Gr\u00F6\u00DFe(ref(sheet 0 R1C1:R1C1),\"\\u20AC\","
        "Bl\u00E4tter \u00DC!ref(sheet 0 R2C2:R3C3),\u00C4ra!ref(sheet 0 R1C1:R1C1))",
        Parsed("Gr\u00F6\u00DFe(A1, \"\u20AC\", 'Bl\u00E4tter \u00DC'!B2:C3, \u00C4ra!$A$1)"));
    EXPECT_EQ("\u00C41(ref(sheet 0 R1C1:R1C1))", Parsed("\u00C41(A1)")) << "no cell: a name";
    EXPECT_EQ("at column 7: expected a cell after \"Bl\u00E4tt!\"",
              Refused("Gr\u00F6\u00DFe(Bl\u00E4tt!)"));
    EXPECT_EQ("at column 3: \"IW1\" reaches beyond the sheet's last cell IV65536",
              Refused("\u03A9(IW1)", xlhost::SheetGrid::Of(11)));
    xlstandin::HostValue value;
    std::string reason;
    ASSERT_TRUE(FormulaParser::ParseValue("\"\u20AC\"", value, reason)) << reason;
    EXPECT_EQ(u"\u20AC", value.AsText());
    EXPECT_FALSE(FormulaParser::ParseValue("\"\xE4\"", value, reason));
    EXPECT_EQ("at column 2: not UTF-8 text", reason);
}

TEST(FormulaParser, ReadsEveryErrorLiteralWithoutRegardToCase) {
    EXPECT_EQ("f(#NULL!,#DIV/0!,#VALUE!,#REF!,#NAME?,#NUM!,#N/A)",
              Parsed("f(#null!,#Div/0!,#VALUE!,#ref!,#name?,#Num!,#n/a)"));
}

TEST(FormulaParser, NamesWhereReadingStopped) {
    EXPECT_EQ("at column 1: expected a function name", Refused(""));
    EXPECT_EQ("at column 2: expected a function name", Refused("=2.5"));
    EXPECT_EQ("at column 2: expected \"(\"", Refused("f"));
    EXPECT_EQ("at column 4: expected \",\" or \")\"", Refused("f(1"));
    EXPECT_EQ("at column 5: expected \",\" or \")\"", Refused("f(1 2)"));
    EXPECT_EQ("at column 6: unexpected \"x\" after the call", Refused("f(1) x"));
    EXPECT_EQ("at column 3: text without its closing quote", Refused("f(\"abc)"));
    EXPECT_EQ("at column 3: unknown error value", Refused("f(#FOO!)"));
    EXPECT_EQ("at column 5: unknown name \"abc\"", Refused("f(1,abc)"));
    EXPECT_EQ("at column 3: cannot read the number \"1E999\"", Refused("f(1E999)"));
    EXPECT_EQ("at column 3: cannot read the number \"1.2.3\"", Refused("f(1.2.3)"));
    EXPECT_EQ("at column 3: cannot read the number \"-\"", Refused("f(-g(1))"));
    EXPECT_EQ("at column 3: unknown name \"g\"", Refused("f(g"));
}

std::string Nested(int depth) {
    std::string formula;
    for (int i = 0; i < depth; ++i) {
        formula += "f(";
    }
    return formula + std::string(static_cast<std::size_t>(depth), ')');
}

// Excel nests at most 64 calls; deeper nesting is refused before it can exhaust the stack.
TEST(FormulaParser, NestsAtMost64CallsDeep) {
    EXPECT_EQ(Nested(64), Parsed(Nested(64)));
    const std::string siblings = "g(1," + Nested(63) + ",h(" + Nested(62) + "))";
    EXPECT_EQ(siblings, Parsed(siblings));
    EXPECT_EQ("nested deeper than 64", Refused(Nested(65)));
    EXPECT_EQ("nested deeper than 64", Refused("g(1," + Nested(64) + ")"));
    EXPECT_EQ("nested deeper than 64", Refused(Nested(100000)));
}

TEST(FormulaParser, RefusesArraysThatAreNotTables) {
    EXPECT_EQ("at column 9: array rows of different lengths", Refused("f({1,2;3})"));
    EXPECT_EQ("at column 11: array rows of different lengths", Refused("f({1;2,3,4})"));
    EXPECT_EQ("at column 6: an array holds constants only", Refused("f({1,g(2)})"));
    EXPECT_EQ("at column 4: expected a value", Refused("f({})"));
    EXPECT_EQ("at column 6: expected a value", Refused("f({1,})"));
    EXPECT_EQ("at column 6: expected \",\", \";\" or \"}\"", Refused("f({1 2})"));
}

} // namespace
