// Calls of registered functions, with arguments passed as Excel passes them for each type
// letter and results read back into values.
#include "ExcelStandInTest.h"
#include "RecordKit.h"
#include "SampleFunctions.h"

#include <string>
#include <vector>

namespace {

using xlstandin::CallResult;
using xlstandin::CellArea;
using xlstandin::HostValue;

class InvocationTest : public ExcelStandInTest {
protected:
    void SetUp() override {
        ExcelStandInTest::SetUp();
        const std::string module = TestModule(samples::Exports());
        for (const auto& sample : samples::Exports()) {
            Register(module, sample.first);
        }
        samples::calls = 0;
    }

    // Registers a sample under its own name, its type text being the rest of the name.
    static void Register(const std::string& module, const std::string& procedure) {
        RecordKit<XLOPER> kit;
        XLOPER id{};
        ASSERT_EQ(xlretSuccess, CallExcel4v(xlfRegister, &id,
                                            {kit.Str(module), kit.Str(procedure),
                                             kit.Str(procedure.substr(6)), kit.Str(procedure)}));
        ASSERT_EQ(xltypeNum, id.xltype) << procedure;
    }

    static CallResult Call(const std::string& name, const std::vector<HostValue>& arguments) {
        return Excel().Call(name, arguments);
    }

    static HostValue N(double number) { return HostValue::Number(number); }
    static HostValue T(const char* text) { return HostValue::Text(text); }
};

TEST_F(InvocationTest, DoubleArgumentsAreConvertedBeforeTheCall) {
    EXPECT_EQ(N(5), Call("SampleBBB", {N(7), N(2)}).value);
    EXPECT_EQ(N(5), Call("SampleBBB", {T(" 7 "), T("2")}).value);
    EXPECT_EQ(N(1), Call("SampleBBB", {HostValue::Boolean(true)}).value) << "missing is 0";
    EXPECT_EQ(N(-2), Call("SampleBBB", {HostValue::Nil(), N(2)}).value);
    EXPECT_EQ(4, samples::calls);
}

TEST_F(InvocationTest, DoubleArgumentsThatDoNotConvertAnswerWithoutACall) {
    const CallResult text = Call("SampleBBB", {T("seven"), N(2)});
    EXPECT_EQ(HostValue::Error(xlerrValue), text.value);
    EXPECT_FALSE(text.called);
    const CallResult error = Call("SampleBBB", {N(1), HostValue::Error(xlerrDiv0)});
    EXPECT_EQ(HostValue::Error(xlerrDiv0), error.value);
    EXPECT_FALSE(error.called);
    EXPECT_EQ(HostValue::Error(xlerrValue), Call("SampleBBB", {N(1), N(2), N(3)}).value);
    EXPECT_EQ(HostValue::Error(xlerrName), Call("NoSuchName", {}).value);
    EXPECT_EQ(0, samples::calls);
}

TEST_F(InvocationTest, ValueRecordsArriveAsTheValueItself) {
    EXPECT_EQ(N(10), Call("SampleQQB", {N(2.5), N(4)}).value);
    EXPECT_EQ(xltypeNum, samples::receivedType);
    EXPECT_EQ(T("2.5"), Call("SampleQQB", {T("2.5"), N(4)}).value);
    EXPECT_EQ(xltypeStr, samples::receivedType);
    EXPECT_EQ(HostValue::Missing(), Call("SampleQQB", {}).value);
    EXPECT_EQ(xltypeMissing, samples::receivedType);
    EXPECT_EQ(HostValue::Error(xlerrNA), Call("SampleQQB", {HostValue::Error(xlerrNA)}).value);

    const HostValue array = HostValue::Array(1, 2, {N(1), T("x")});
    EXPECT_EQ(array, Call("SamplePPB", {array, N(3)}).value);
    EXPECT_EQ(xltypeMulti, samples::receivedType);
    EXPECT_EQ(T("abc"), Call("SamplePPB", {T("abc")}).value);
    EXPECT_EQ(N(-1), Call("SamplePPB", {N(0.5), N(-2)}).value);
}

TEST_F(InvocationTest, ValueRecordsReceiveACellsValueAndReferenceRecordsTheReference) {
    Excel().Sheet().SetCell(Excel().Sheet().CurrentSheet(), 4, 2, N(6));
    const HostValue cell = HostValue::Reference(HostValue::CurrentSheet, {CellArea{4, 4, 2, 2}});
    EXPECT_EQ(N(12), Call("SampleQQB", {cell, N(2)}).value);
    EXPECT_EQ(N(4), Call("SampleBBB", {cell, N(2)}).value);
    EXPECT_EQ(cell, Call("SampleUU", {cell}).value);
    const HostValue elsewhere =
        HostValue::Reference(3, {CellArea{0, 1, 0, 1}, CellArea{5, 5, 5, 5}});
    EXPECT_EQ(elsewhere, Call("SampleUU", {elsewhere}).value);
}

// Excel passes a reference on the formula's sheet in the short form, one elsewhere with its sheet.
TEST_F(InvocationTest, ReferencesArriveAsShortOrSheetReferences) {
    const HostValue here = HostValue::Reference(HostValue::CurrentSheet, {CellArea{0, 9, 0, 1}});
    EXPECT_EQ(here, Call("SampleUU", {here}).value);
    EXPECT_EQ(xltypeSRef, samples::receivedType);
    const HostValue there = HostValue::Reference(2, {CellArea{0, 0, 0, 0}});
    EXPECT_EQ(there, Call("SampleUU", {there}).value);
    EXPECT_EQ(xltypeRef, samples::receivedType);
    EXPECT_EQ(here, Call("SampleRR", {here}).value);
    EXPECT_EQ(xltypeSRef, samples::receivedType);
}

// XLOPER references hold Excel 4's grid: 65,536 rows, 256 columns.
TEST_F(InvocationTest, ReferencesBeyondTheExcel4GridReachExcel4RecordsAsRefErrors) {
    const HostValue row =
        HostValue::Reference(HostValue::CurrentSheet, {CellArea{65535, 65536, 0, 0}});
    EXPECT_EQ(HostValue::Error(xlerrRef), Call("SampleRR", {row}).value);
    EXPECT_EQ(xltypeErr, samples::receivedType);
    const HostValue column = HostValue::Reference(2, {CellArea{0, 0, 255, 256}});
    EXPECT_EQ(HostValue::Error(xlerrRef), Call("SampleRR", {column}).value);
    EXPECT_EQ(row, Call("SampleUU", {row}).value);
}

TEST_F(InvocationTest, ValueRecordsReceiveBlocksAsArraysWithNilForEmptyCells) {
    Excel().Sheet().SetCell(2, 0, 0, N(1));
    Excel().Sheet().SetCell(2, 1, 1, T("x"));
    const HostValue block = HostValue::Reference(2, {CellArea{0, 1, 0, 1}});
    EXPECT_EQ(HostValue::Array(2, 2, {N(1), HostValue::Nil(), HostValue::Nil(), T("x")}),
              Call("SampleQQB", {block}).value);
    EXPECT_EQ(xltypeMulti, samples::receivedType);
    const HostValue empty = HostValue::Reference(HostValue::CurrentSheet, {CellArea{7, 7, 7, 7}});
    EXPECT_EQ(HostValue::Nil(), Call("SamplePPB", {empty}).value);
    EXPECT_EQ(xltypeNil, samples::receivedType);
    const HostValue twoAreas =
        HostValue::Reference(2, {CellArea{0, 0, 0, 0}, CellArea{1, 1, 1, 1}});
    EXPECT_EQ(HostValue::Error(xlerrValue), Call("SampleQQB", {twoAreas}).value);
}

// A block where one value is wanted: the cell in the formula's row (one column) or column (one
// row), else #VALUE! without a call.
TEST_F(InvocationTest, ScalarCodesIntersectABlockWithTheFormulasRowOrColumn) {
    xlstandin::SheetModel& sheet = Excel().Sheet();
    for (int row = 0; row < 5; ++row) {
        sheet.SetCell(sheet.CurrentSheet(), row, 0, N(10 * (row + 1)));
        sheet.SetCell(2, row, 3, N(row + 1));
    }
    sheet.SetCell(sheet.CurrentSheet(), 0, 254, N(7));
    const HostValue column = HostValue::Reference(HostValue::CurrentSheet, {CellArea{0, 4, 0, 0}});
    EXPECT_EQ(HostValue::Error(xlerrValue), Call("SampleBBB", {column}).value) << "no formula";

    Excel().Workbook().SetCallerRow(2);
    EXPECT_EQ(N(30), Call("SampleBBB", {column}).value);
    EXPECT_EQ(N(3), Call("SampleBBB", {HostValue::Reference(2, {CellArea{0, 4, 3, 3}})}).value);
    const HostValue row = HostValue::Reference(HostValue::CurrentSheet, {CellArea{0, 0, 250, 255}});
    EXPECT_EQ(N(0), Call("SampleBBB", {row}).value) << "the formula's column IV is empty";
    EXPECT_EQ(3, samples::calls);
    Excel().Workbook().SetCallerRow(7);
    EXPECT_EQ(HostValue::Error(xlerrValue), Call("SampleBBB", {column}).value) << "row missed";
    const HostValue columnMissed =
        HostValue::Reference(HostValue::CurrentSheet, {CellArea{7, 7, 0, 3}});
    EXPECT_EQ(HostValue::Error(xlerrValue), Call("SampleJJ", {columnMissed}).value);
    const HostValue square =
        HostValue::Reference(HostValue::CurrentSheet, {CellArea{0, 9, 0, 255}});
    EXPECT_EQ(HostValue::Error(xlerrValue), Call("SampleAA", {square}).value);
    EXPECT_EQ(3, samples::calls);
    Excel().Workbook().ClearCaller();
}

TEST_F(InvocationTest, IntegerAndBooleanArgumentsAndResults) {
    EXPECT_EQ(N(-21), Call("SampleJJ", {N(-7)}).value);
    EXPECT_EQ(N(6), Call("SampleJJ", {N(2.9)}).value) << "truncated";
    EXPECT_EQ(N(30), Call("SampleJJ", {T("10")}).value);
    EXPECT_EQ(HostValue::Error(xlerrNum), Call("SampleJJ", {N(3e9)}).value) << "out of range";
    EXPECT_EQ(HostValue::Error(xlerrNum), Call("SampleJJ", {N(-2147483649.0)}).value);
    EXPECT_EQ(N(-2147483646), Call("SampleJJ", {N(-715827882.9)}).value) << "toward zero";
    EXPECT_EQ(HostValue::Boolean(false), Call("SampleAA", {HostValue::Boolean(true)}).value);
    EXPECT_EQ(HostValue::Boolean(true), Call("SampleAA", {N(0)}).value);
    EXPECT_EQ(HostValue::Error(xlerrValue), Call("SampleAA", {T("maybe")}).value);
    EXPECT_EQ(6, samples::calls);
}

// Eight arguments fill the registers and the stack; the digits show each one in its place.
TEST_F(InvocationTest, EightArgumentsArriveInOrder) {
    const std::vector<HostValue> digits = {N(1), N(2), N(3), N(4), N(5), N(6), N(7), N(8)};
    EXPECT_EQ(N(12345678), Call("SampleQQQQQQQQQ", digits).value);
    EXPECT_EQ(N(12345678), Call("SampleBBQBQBQBQ", digits).value);
    EXPECT_EQ(N(12345678), Call("SampleBBBBBBBBB", digits).value);
    EXPECT_EQ(N(12340000), Call("SampleBBBBBBBBB", {N(1), N(2), N(3), N(4)}).value);
    EXPECT_EQ(4, samples::calls);
}

TEST_F(InvocationTest, NullResultIsReported) {
    const CallResult result = Call("SampleP", {});
    EXPECT_TRUE(result.called);
    EXPECT_TRUE(result.nullPointer);
}

// A function returning Excel's own record marked xlbitXLFree leaves its freeing to Excel.
TEST_F(InvocationTest, ResultsMarkedForExcelToFreeAreFreed) {
    EXPECT_EQ(T("5.25"), Call("SampleQQ", {N(5.25)}).value);
    EXPECT_EQ(0u, Excel().OutstandingAllocations());
}

} // namespace
