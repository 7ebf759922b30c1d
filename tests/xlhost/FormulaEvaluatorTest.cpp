// Formulas evaluated on the Excel stand-in: nested calls pass their results on, unknown names
// answer #NAME?, and each result says which record layout its texts came in.
#include "FormulaEvaluator.h"
#include "ExcelStandInTest.h"
#include "FormulaParser.h"
#include "FunctionListing.h"
#include "RecordCodec.h"
#include "ResultText.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

// Functions of this test that formulas call: the argument back in either layout, or nothing.
XLSTANDIN_TEST_EXPORT XLOPER12* __stdcall XlhostEcho(XLOPER12* value) {
    return value;
}
XLSTANDIN_TEST_EXPORT XLOPER* __stdcall XlhostEcho4(XLOPER* value) {
    return value;
}
XLSTANDIN_TEST_EXPORT XLOPER12* __stdcall XlhostReference(XLOPER12* reference) {
    return reference;
}
XLSTANDIN_TEST_EXPORT XLOPER12* __stdcall XlhostNothing() {
    return nullptr;
}

namespace {

using xlstandin::HostValue;

class FormulaEvaluatorTest : public ExcelStandInTest {
protected:
    void SetUp() override {
        ExcelStandInTest::SetUp();
        const std::string module = TestModule({{"XlhostEcho", Proc(&XlhostEcho)},
                                               {"XlhostEcho4", Proc(&XlhostEcho4)},
                                               {"XlhostReference", Proc(&XlhostReference)},
                                               {"XlhostNothing", Proc(&XlhostNothing)}});
        Register({module, "XlhostEcho", "QQ", "Echo"});
        Register({module, "XlhostEcho4", "PP", "Echo4"});
        Register({module, "XlhostNothing", "Q", "Nothing"});
        Register({module, "XlhostReference", "UU", "Reference"});
    }

    // REGISTER as an add-in sends it, through Excel4v.
    static void Register(const std::vector<std::string>& texts) {
        xlstandin::ResultMemory memory;
        std::vector<XLOPER> records(texts.size());
        std::vector<LPXLOPER> arguments;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            xlstandin::RecordCodec<XLOPER>::Write(HostValue::Text(texts[i]), records[i], memory);
            arguments.push_back(&records[i]);
        }
        XLOPER id{};
        ASSERT_EQ(xlretSuccess, Excel().Excel4v(xlfRegister, &id, static_cast<int>(texts.size()),
                                                arguments.data()));
        ASSERT_EQ(xltypeNum, id.xltype) << texts[1];
    }

    static xlhost::Evaluation Evaluate(const std::string& text) {
        xlhost::Expression formula;
        std::string reason;
        EXPECT_TRUE(xlhost::FormulaParser::Parse(text, formula, reason)) << reason;
        return xlhost::FormulaEvaluator(Excel()).Evaluate(formula);
    }

    static std::string Printed(const std::string& text) {
        const xlhost::Evaluation evaluation = Evaluate(text);
        return xlhost::ResultText::Of(evaluation.result, evaluation.wideText);
    }
};

TEST_F(FormulaEvaluatorTest, NestedCallsPassTheirResultsOn) {
    EXPECT_EQ("\"a\"\"b\"", Printed("=echo(ECHO(\"a\"\"b\"))"));
    EXPECT_EQ("{1,2;3,4}", Printed("Echo(Echo4(Echo({1,2;3,4})))"));
    EXPECT_EQ("2.5", Printed("Echo(Echo4(2.5))"));
}

TEST_F(FormulaEvaluatorTest, TextsCarryTheLayoutOfTheRecordTheyCameIn) {
    EXPECT_TRUE(Evaluate("Echo(\"x\")").wideText);
    EXPECT_FALSE(Evaluate("Echo4(\"x\")").wideText);
    EXPECT_EQ("\"\\u00E9\"", Printed("Echo(\"\u00E9\")"));
    EXPECT_EQ("\"\\xE9\"", Printed("Echo4(\"\u00E9\")"));
}

// Formulas are UTF-8; Excel 12 records carry UTF-16, Excel 4 records code page 1252, where a
// character it lacks is "?".
TEST_F(FormulaEvaluatorTest, TextsBeyondAsciiReachEachLayoutAsExcelPassesThem) {
    EXPECT_EQ("\"\\u20AC \\u03A9 \\uD83D\\uDE00\"", Printed("Echo(\"\u20AC \u03A9 \U0001F600\")"));
    EXPECT_EQ("\"\\x80 ? ??\"", Printed("Echo4(\"\u20AC \u03A9 \U0001F600\")"));
    EXPECT_EQ("\"\\x80\\x81\\xFF\"", Printed("Echo4(Echo(\"\u20AC\u0081\u00FF\"))"));
}

TEST_F(FormulaEvaluatorTest, NamesBeyondAsciiAreCalledWithoutRegardToCase) {
    // Registered through Excel4 in code page 1252: "M\xE4" is "M\u00E4".
    Register({TestModule({{"XlhostEcho", Proc(&XlhostEcho)}}), "XlhostEcho", "QQ", "M\xE4"});
    EXPECT_EQ("1", Printed("M\u00E4(1)"));
    EXPECT_EQ("2", Printed("=m\u00C4(2)"));
    EXPECT_EQ("#NAME?", Printed("M\u00E5(1)"));
    // --list shows the name as a text result of its layout shows it: a code page 1252 byte.
    const xlstandin::Registration* registered = Excel().FindFunction("M\u00C4");
    ASSERT_NE(nullptr, registered);
    EXPECT_EQ("M\\xE4\tXlhostEcho\tQQ\t\t\t", xlhost::FunctionListing::Line(*registered));
}

TEST_F(FormulaEvaluatorTest, NullResultsPrintAsNullAndPassOnAsNumErrors) {
    const xlhost::Evaluation nothing = Evaluate("Nothing()");
    EXPECT_TRUE(nothing.result.nullPointer);
    EXPECT_EQ("(null)", Printed("Nothing()"));
    EXPECT_EQ("#NUM!", Printed("Echo(Nothing())"));
}

TEST_F(FormulaEvaluatorTest, NamesNobodyRegisteredAnswerNameErrors) {
    const xlhost::Evaluation unknown = Evaluate("Echo5(1)");
    EXPECT_FALSE(unknown.result.called);
    EXPECT_EQ("#NAME?", Printed("Echo5(1)"));
    EXPECT_EQ("#NAME?", Printed("Echo(Echo5(1))"));
}

// A sheet named in a formula is added as it is used; the formula's own sheet is the current one.
TEST_F(FormulaEvaluatorTest, ReferencesReachFunctionsWithTheirSheets) {
    Excel().Sheet().SetCell(xlstandin::SheetModel::DefaultSheet, 0, 0, HostValue::Number(5));
    EXPECT_EQ("5", Printed("Echo(A1)"));
    EXPECT_EQ("{5,(nil)}", Printed("Echo($A$1:B1)"));
    const auto reference = [](const std::string& text) {
        std::ostringstream described;
        described << Evaluate(text).result.value;
        return described.str();
    };
    EXPECT_EQ("ref(sheet 0 R2C2:R3C3)", reference("Reference(B2:C3)"));
    EXPECT_EQ("ref(sheet 0 R1C1:R1C1)", reference("Reference(SHEET1!A1)"));
    EXPECT_EQ("ref(sheet 2 R1C1:R10C1)", reference("Reference('Sheet 2'!A1:A10)"));
    EXPECT_EQ("ref(sheet 3 R1C1:R1C1)", reference("Reference(Data!A1)"));
    EXPECT_EQ("ref(sheet 2 R1C1:R1C1)", reference("Reference('sheet 2'!A1)"));
    EXPECT_EQ("Sheet 2", Excel().Sheet().SheetName(2));
}

// A reference result shows as the formula's cell shows it; nested, it stays a reference.
TEST_F(FormulaEvaluatorTest, AReferenceResultShowsTheValueOfItsCells) {
    xlstandin::SheetModel& sheet = Excel().Sheet();
    for (int row = 0; row < 4; ++row) {
        sheet.SetCell(xlstandin::SheetModel::DefaultSheet, row, 0, HostValue::Number(row + 1));
    }
    const auto shown = [](const std::string& text) {
        xlhost::Evaluation evaluation = Evaluate(text);
        xlhost::FormulaEvaluator(Excel()).ShowValue(evaluation);
        return xlhost::ResultText::Of(evaluation.result, evaluation.wideText);
    };
    EXPECT_EQ("1", shown("Reference(A1)"));
    EXPECT_EQ("(nil)", shown("Reference(C1)"));
    EXPECT_EQ("#VALUE!", shown("Reference(A1:A4)")) << "outside a formula";
    Excel().Workbook().SetCallerRow(2);
    EXPECT_EQ("3", shown("Reference(A1:A4)"));
    EXPECT_EQ("3", shown("Reference(Reference(A1:A4))"));
    EXPECT_EQ("#VALUE!", shown("Reference(A1:B4)"));
    EXPECT_EQ("{1;2}", shown("Echo(Reference(A1:A2))"));
    EXPECT_EQ("\"x\"", shown("Echo(\"x\")")) << "other results as they are";
    Excel().Workbook().ClearCaller();
}

TEST_F(FormulaEvaluatorTest, MissingArgumentsArriveAsMissingValues) {
    EXPECT_EQ(HostValue::Missing(), Evaluate("Echo()").result.value);
    EXPECT_EQ(HostValue::Missing(), Evaluate("Echo4( )").result.value);
}

} // namespace
