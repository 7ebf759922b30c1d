// The value wrapper against the Excel stand-in, in both Excel modes: the same behaviour with the
// widths and limits of each record layout.
#include "GatewayTest.h"
#include "XlfOperImpl.h"
#include <vornix/XlfException.h>
#include <vornix/XlfExceptionUncalculated.h>
#include <vornix/XlfOper.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

using vornix::CellMatrix;
using vornix::DoubleMatrix;
using vornix::MatrixCell;
using vornix::XlfException;
using vornix::XlfOper;
using vornix::XlfRange;
using xlstandin::CellArea;
using xlstandin::HostValue;

namespace {

template <typename Mode> class XlfOperTest : public GatewayTest<Mode> {
protected:
    using Base = GatewayTest<Mode>;
    using typename Base::Record;
};

TYPED_TEST_SUITE(XlfOperTest, BothModes);

TYPED_TEST(XlfOperTest, ConstructorsBuildRecordsOfTheirKind) {
    EXPECT_EQ(XlfOper().GetType(), xltypeNil);
    const XlfOper number(2.5), flag(true), integer(short{-7}), error(short{23}, true);
    EXPECT_EQ(number.GetType(), xltypeNum);
    EXPECT_EQ(this->RecordOf(number)->val.num, 2.5);
    EXPECT_EQ(flag.GetType(), xltypeBool);
    EXPECT_EQ(this->RecordOf(flag)->val.xbool, 1);
    EXPECT_EQ(integer.GetType(), xltypeInt);
    EXPECT_EQ(this->RecordOf(integer)->val.w, -7);
    EXPECT_EQ(error.GetType(), xltypeErr);
    EXPECT_EQ(this->RecordOf(error)->val.err, 23);
    const XlfOper value = XlfOper::Error(xlerrValue);
    EXPECT_EQ(value.GetType(), xltypeErr);
    EXPECT_EQ(this->RecordOf(value)->val.err, xlerrValue);
}

TYPED_TEST(XlfOperTest, ValuesLiveInTemporaryMemoryAfterTheirWrapper) {
    LPXLFOPER record = XlfOper(std::string("kept")).AsValuePointer();
    EXPECT_STREQ(XlfOper(record).AsString(), "kept");
}

TYPED_TEST(XlfOperTest, NumbersReadDirectlyWithoutExcel) {
    EXPECT_EQ(XlfOper(4.75).AsDouble(), 4.75);
    EXPECT_EQ(XlfOper(short{7}).AsDouble(), 7.0);
    EXPECT_TRUE(XlfOper(true).AsBool());
    EXPECT_EQ(this->CallCount(xlCoerce), 0);
}

TYPED_TEST(XlfOperTest, OtherKindsAreCoercedByExcelAndItsMemoryGivenBack) {
    EXPECT_EQ(this->ExcelText("2.5").AsDouble(), 2.5);
    EXPECT_STREQ(XlfOper(5.25).AsString(), "5.25");
    EXPECT_STREQ(XlfOper(-6.75).AsString(), "-6.75");
    EXPECT_STREQ(XlfOper(10.0).AsString(), "10");
    EXPECT_STREQ(XlfOper(true).AsString(), "TRUE");
    EXPECT_EQ(this->CallCount(xlCoerce), 5);
    // The texts Excel made were handed back (the fixture checks that none is outstanding).
    EXPECT_EQ(this->CallCount(xlFree), 4);
}

TYPED_TEST(XlfOperTest, ShortIsTruncatedTowardZeroAndFailsOutsideItsRange) {
    EXPECT_EQ(XlfOper(2.9).AsShort(), 2);
    EXPECT_EQ(XlfOper(-2.9).AsShort(), -2);
    EXPECT_EQ(XlfOper(-32768.5).AsShort(), -32768);
    int code = 0;
    XlfOper(70000.0).AsShort(&code);
    EXPECT_EQ(code, xlretFailed);
    // An integer is not read directly: Excel coerces it to a number first.
    EXPECT_EQ(XlfOper(short{12}).AsShort(), 12);
    EXPECT_EQ(this->CallCount(xlCoerce), 1);
}

TYPED_TEST(XlfOperTest, FailedConversionsThrowWithTheirContext) {
    try {
        this->ExcelText("abc").AsDouble("x");
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "command failed, Conversion to double x");
    }
    try {
        this->ExcelText("abc").AsMatrix();
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "command failed,  conversion to matrix failed");
    }
    this->Excel().FailNext(xlCoerce, xlretInvXloper);
    try {
        XlfOper(1.0).AsString("dec");
        FAIL() << "no exception";
    } catch (const XlfException& error) {
        EXPECT_STREQ(error.what(),
                     "invalid OPER structure (memory could be exhausted),dec conversion to char* "
                     "failed");
    }
    try {
        this->ExcelText("abc").AsDouble();
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "command failed");
    }
}

TYPED_TEST(XlfOperTest, CodesHandedBackAreNeverThrown) {
    for (const int code : {xlretAbort, xlretUncalced, xlretStackOvfl, xlretFailed}) {
        this->Excel().FailNext(xlCoerce, code);
        int received = -1;
        this->ExcelText("1").AsDouble("n", &received);
        EXPECT_EQ(received, code);
    }
    this->Excel().FailNext(xlCoerce, xlretUncalced);
    EXPECT_THROW(this->ExcelText("1").AsBool(), vornix::XlfExceptionUncalculated);
}

TYPED_TEST(XlfOperTest, NullRecordsConvertToInvalidValue) {
    const XlfOper none(static_cast<LPXLFOPER>(nullptr));
    EXPECT_EQ(none.GetType(), 0u);
    int code = 0;
    const double number = none.AsDouble(&code);
    EXPECT_EQ(code, xlretInvXloper);
    EXPECT_EQ(number, 0.0);
    EXPECT_EQ(this->CallCount(xlCoerce), 0);
}

// Copies of a value holding Excel's memory get their own record and contents; the value that
// received them from Excel gives them back, once, and stays readable until then.
TYPED_TEST(XlfOperTest, ExcelOwnedValuesAreFreedOnceWhateverTheCopies) {
    this->Excel().SetAddInName("C:\\x\\lib.xll");
    {
        XlfOper name;
        ASSERT_EQ(this->Gateway().Call(xlGetName, name.AsValuePointer(), 0), xlretSuccess);
        EXPECT_EQ(name.GetType(), xltypeStr);
        EXPECT_EQ(name.TypeName(), "xltypeStr");
        EXPECT_TRUE(name.IsExcelOwned());
        {
            const XlfOper copy(name);
            XlfOper assigned;
            assigned = name;
            EXPECT_FALSE(copy.IsExcelOwned());
            EXPECT_FALSE(assigned.IsExcelOwned());
            EXPECT_NE(copy.AsValuePointer(), name.AsValuePointer());
            EXPECT_NE(assigned.AsValuePointer(), copy.AsValuePointer());
            EXPECT_NE(this->RecordOf(copy)->val.str, this->RecordOf(name)->val.str);
        }
        EXPECT_EQ(this->CallCount(xlFree), 0);
        EXPECT_STREQ(name.AsString(), "C:\\x\\lib.xll");
        {
            const XlfOper copy(name);
            name = XlfOper(1.0); // gives Excel's text back before taking the number
            EXPECT_EQ(this->CallCount(xlFree), 1);
            EXPECT_EQ(this->Excel().OutstandingAllocations(), 0u);
            EXPECT_EQ(name.AsDouble(), 1.0);
            EXPECT_STREQ(copy.AsString(), "C:\\x\\lib.xll");
        }
    }
    EXPECT_EQ(this->CallCount(xlFree), 1);
}

TYPED_TEST(XlfOperTest, FailedFreeIsLoggedNotThrown) {
    this->Excel().SetAddInName("C:\\x\\lib.xll");
    testing::internal::CaptureStderr();
    {
        XlfOper name;
        this->Gateway().Call(xlGetName, name.AsValuePointer(), 0);
        this->Excel().FailNext(xlFree, xlretFailed);
    }
    const std::string log = testing::internal::GetCapturedStderr();
    const std::string unit = this->IsExcel12 ? "XlfOperImpl12(77)" : "XlfOperImpl4(78)";
    EXPECT_EQ(log, "..\\..\\src\\" + unit + ": Call to xlFree failed\n");
    // The text stays with the stand-in, which is not given it back.
    this->Excel().Reset(TypeParam::Version);
}

TYPED_TEST(XlfOperTest, SettingNumbersMakesColumnsAndMatricesUnlessEmpty) {
    XlfOper unchanged;
    unchanged.Set(std::vector<double>());
    unchanged.Set(DoubleMatrix(0, 5));
    EXPECT_EQ(unchanged.GetType(), xltypeNil);

    XlfOper column;
    column.Set(std::vector<double>{1, 2, 3});
    ASSERT_EQ(column.GetType(), xltypeMulti);
    EXPECT_EQ(column.Rows(), 3);
    EXPECT_EQ(column.Columns(), 1);
    EXPECT_EQ(column(2, 0).AsDouble(), 3.0);

    DoubleMatrix matrix(2, 2);
    matrix(1, 0) = 7;
    XlfOper square;
    square.Set(matrix);
    EXPECT_EQ(square.Rows(), 2);
    EXPECT_EQ(square(1, 0).AsDouble(), 7.0);
}

TYPED_TEST(XlfOperTest, DoubleVectorsInEveryOrder) {
    CellMatrix wide(1, 5), block(2, 3);
    for (int j = 0; j < 5; ++j)
        wide(0, j) = MatrixCell(double(j + 1));
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 3; ++j)
            block(i, j) = MatrixCell(double(10 * (i + 1) + j + 1));
    EXPECT_EQ(XlfOper(wide).AsDoubleVector(), (std::vector<double>{1, 2, 3, 4, 5}));
    int code = 0;
    XlfOper(block).AsDoubleVector(vornix::OneDimensional, &code);
    EXPECT_EQ(code, xlretFailed);
    EXPECT_EQ(XlfOper(block).AsDoubleVector(vornix::RowByRow),
              (std::vector<double>{11, 12, 13, 21, 22, 23}));
    EXPECT_EQ(XlfOper(block).AsArray(vornix::ColumnByColumn),
              (std::vector<double>{11, 21, 12, 22, 13, 23}));

    LPXLFOPER missing = XlfOper().AsValuePointer();
    static_cast<typename TestFixture::Record*>(missing)->xltype = xltypeMissing;
    EXPECT_TRUE(XlfOper(missing).AsDoubleVector().empty());
    EXPECT_EQ(XlfOper(2.5).AsDoubleVector(), std::vector<double>{2.5});
}

TYPED_TEST(XlfOperTest, DoubleVectorOfTextElementsGoesThroughExcel) {
    CellMatrix cells(1, 2);
    cells(0, 0) = MatrixCell(std::string("4.5"));
    cells(0, 1) = MatrixCell(std::string("text"));
    std::vector<double> values;
    try {
        values = XlfOper(cells).AsDoubleVector("v");
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "command failed, v conversion to double vector");
    }
}

TYPED_TEST(XlfOperTest, CellMatricesFromSingleValuesAndArrays) {
    const CellMatrix nil = XlfOper().AsCellMatrix();
    EXPECT_EQ(nil.RowCount(), 1u);
    EXPECT_TRUE(nil(0, 0).IsEmptyCell());

    CellMatrix cells(2, 2);
    cells(0, 0) = MatrixCell(1.5);
    cells(0, 1) = MatrixCell(std::string("ab"));
    cells(1, 0) = MatrixCell(true);
    cells(1, 1) = MatrixCell(static_cast<unsigned long>(xlerrNA), true);
    const CellMatrix read = XlfOper(cells).AsCellMatrix();
    EXPECT_EQ(read(0, 0).GetNumber(), 1.5);
    EXPECT_EQ(read(0, 1).GetString(), "ab"); // in both modes: Excel 4 texts count no NUL
    EXPECT_TRUE(read(1, 0).GetBoolean());
    EXPECT_EQ(read(1, 1).GetErrorCode(), static_cast<unsigned long>(xlerrNA));
}

TYPED_TEST(XlfOperTest, CellMatrixRefusesElementsNoCellCanHold) {
    XlfOper array;
    array.Set(std::vector<double>{1, 2});
    array.SetElement(1, 0, XlfOper(short{3}));
    try {
        array.AsCellMatrix();
        FAIL() << "no exception";
    } catch (const char* message) {
        EXPECT_STREQ(message, "cell contains neither number nor string nor boolean nor empty");
    }
}

TYPED_TEST(XlfOperTest, MatricesAcceptNumbersOnly) {
    LPXLFOPER missing = XlfOper().AsValuePointer();
    static_cast<typename TestFixture::Record*>(missing)->xltype = xltypeMissing;
    const DoubleMatrix none = XlfOper(missing).AsMatrix();
    EXPECT_EQ(none.RowCount(), 0u);
    EXPECT_EQ(none.ColumnCount(), 0u);

    CellMatrix cells(1, 3);
    cells(0, 0) = MatrixCell(1.0);
    cells(0, 1) = MatrixCell(std::string("t"));
    cells(0, 2) = MatrixCell(3.0);
    int code = 0;
    const DoubleMatrix partial = XlfOper(cells).AsMatrix(&code);
    EXPECT_EQ(code, xlretFailed);
    ASSERT_EQ(partial.ColumnCount(), 3u);
    EXPECT_EQ(partial(0, 0), 1.0);
    EXPECT_EQ(partial(0, 2), 0.0);
}

TYPED_TEST(XlfOperTest, CellMatrixArraysDropColumnsBeyondThe255th) {
    CellMatrix cells(3, 300);
    cells(0, 0) = MatrixCell(9.0);
    const XlfOper array(cells);
    EXPECT_EQ(array.Rows(), 3);
    EXPECT_EQ(array.Columns(), 255);
    EXPECT_EQ(array(0, 0).AsDouble(), 9.0);
    // Empty cells become empty texts, not Nil.
    EXPECT_EQ(array(2, 254).GetType(), xltypeStr);
    EXPECT_STREQ(array(2, 254).AsString(), "");
}

TYPED_TEST(XlfOperTest, ArrayOperationsOnOtherKindsThrow) {
    const XlfOper number(1.0);
    for (const auto& operation : {std::function<void()>([&] { number.Rows(); }),
                                  std::function<void()>([&] { number.Columns(); }),
                                  std::function<void()>([&] { number(0, 0); })}) {
        try {
            operation();
            FAIL() << "no exception";
        } catch (const XlfException& error) {
            EXPECT_STREQ(error.what(),
                         "attempt to perform an xltypeMulti operation on a value of type 1");
        }
    }
}

TYPED_TEST(XlfOperTest, ElementsTakeSupportedKindsOnly) {
    XlfOper array;
    array.Set(std::vector<double>{1, 2});
    array.SetElement(0, 0, XlfOper(std::string("copied")));
    EXPECT_STREQ(array(0, 0).AsString(), "copied");
    LPXLFOPER missing = XlfOper().AsValuePointer();
    static_cast<typename TestFixture::Record*>(missing)->xltype = xltypeMissing;
    try {
        array.SetElement(1, 0, XlfOper(missing));
        FAIL() << "no exception";
    } catch (const XlfException& error) {
        EXPECT_STREQ(error.what(), "attempt to set a matrix element to a value of type 128");
    }
    EXPECT_EQ(array(1, 0).AsDouble(), 2.0);
    EXPECT_THROW(array(2, 0), XlfException);
}

TYPED_TEST(XlfOperTest, WideTextsStopAtTheirFirstNul) {
    const std::wstring text = std::wstring(L"abc") + L'\0' + L"def";
    EXPECT_EQ(XlfOper(text).AsWideString(), L"abc");
    EXPECT_EQ(XlfOper(std::wstring(L"W\u00e9")).AsWideString(), L"W\u00e9");
}

TYPED_TEST(XlfOperTest, ReferencesRoundTripAndReadTheSheet) {
    const XlfRange range(1, 3, 2, 4, 7);
    XlfOper reference;
    this->Impl().SetRef(reference, range);
    EXPECT_TRUE(reference.IsRef());
    EXPECT_EQ(reference.AsRef(), range);

    auto& sheet = this->Excel().Sheet();
    sheet.SetCell(7, 1, 2, HostValue::Number(1.5));
    sheet.SetCell(7, 1, 3, HostValue::Text("two"));
    sheet.SetCell(7, 2, 2, HostValue::Boolean(true));
    sheet.SetCell(7, 2, 3, HostValue::Error(xlerrDiv0));
    const CellMatrix cells = reference.AsCellMatrix();
    ASSERT_EQ(cells.RowCount(), 2u);
    ASSERT_EQ(cells.ColumnCount(), 2u);
    EXPECT_EQ(cells(0, 0).GetNumber(), 1.5);
    EXPECT_EQ(cells(0, 1).GetString(), "two");
    EXPECT_TRUE(cells(1, 0).GetBoolean());
    EXPECT_EQ(cells(1, 1).GetErrorCode(), static_cast<unsigned long>(xlerrDiv0));

    sheet.SetCell(7, 1, 3, HostValue::Number(2.5));
    sheet.SetCell(7, 2, 2, HostValue::Number(3.5));
    sheet.SetCell(7, 2, 3, HostValue::Number(4.5));
    EXPECT_EQ(reference.AsDoubleVector(vornix::ColumnByColumn),
              (std::vector<double>{1.5, 3.5, 2.5, 4.5}));
}

// The first cell Excel cannot read ends a walk over a range with Excel's code; the table has its
// shape from the start, and the cells read before the failure keep their values.
TYPED_TEST(XlfOperTest, WalksOverRangesStopAtTheFirstFailure) {
    XlfOper reference;
    this->Impl().SetRef(reference, XlfRange(0, 1, 0, 3, 5));
    auto& sheet = this->Excel().Sheet();
    sheet.SetCell(5, 0, 0, HostValue::Number(1.0));
    sheet.SetCell(5, 0, 1, HostValue::Text("x"));
    sheet.SetCell(5, 0, 2, HostValue::Number(3.0));

    std::vector<double> numbers;
    EXPECT_EQ(this->Impl().AsDoubleVector(reference, numbers, vornix::RowByRow), xlretFailed);
    EXPECT_EQ(numbers, (std::vector<double>{1.0, 0.0, 0.0}));
    EXPECT_THROW(reference.AsMatrix(), std::runtime_error); // text is no number

    CellMatrix cells(1, 1);
    this->Excel().FailEvery(xlCoerce, xlretUncalced);
    EXPECT_EQ(this->Impl().AsCellMatrix(reference, cells), xlretUncalced);
    EXPECT_EQ(cells.RowCount(), 1u);
    EXPECT_EQ(cells.ColumnCount(), 3u);
    EXPECT_TRUE(cells(0, 0).IsEmptyCell());
    EXPECT_THROW(reference.AsCellMatrix(), vornix::XlfExceptionUncalculated);
    numbers.clear();
    EXPECT_EQ(this->Impl().AsDoubleVector(reference, numbers, vornix::RowByRow), xlretUncalced);
    this->Excel().ClearFaults();

    // A value Excel cannot give as a range ends the walk before it starts.
    this->Excel().FailNext(xlCoerce, xlretInvXloper);
    cells = CellMatrix(1, 1);
    EXPECT_EQ(this->Impl().AsCellMatrix(XlfOper(short{5}), cells), xlretInvXloper);
    EXPECT_EQ(cells.RowCount(), 1u);
    EXPECT_EQ(cells.ColumnCount(), 1u);
}

TYPED_TEST(XlfOperTest, ErrorCodesReadDirectlyOrThroughExcel) {
    WORD code = 0;
    EXPECT_EQ(this->Impl().AsError(XlfOper::Error(xlerrNA), code), xlretSuccess);
    EXPECT_EQ(code, xlerrNA);
    EXPECT_EQ(this->CallCount(xlCoerce), 0);

    XlfOper reference;
    this->Impl().SetRef(reference, XlfRange(0, 1, 0, 1, 2));
    this->Excel().Sheet().SetCell(2, 0, 0, HostValue::Error(xlerrDiv0));
    EXPECT_EQ(this->Impl().AsError(reference, code), xlretSuccess);
    EXPECT_EQ(code, xlerrDiv0);
    EXPECT_EQ(this->CallCount(xlCoerce), 1);

    code = 99;
    EXPECT_EQ(this->Impl().AsError(XlfOper(2.0), code), xlretFailed); // a number is no error
    EXPECT_EQ(code, 99);
    EXPECT_EQ(this->Impl().AsError(XlfOper(static_cast<LPXLFOPER>(nullptr)), code), xlretInvXloper);
    EXPECT_EQ(code, 99);
}

TYPED_TEST(XlfOperTest, ReferencesMustBeAreasTheRecordCanHold) {
    XlfOper reference;
    EXPECT_THROW(this->Impl().SetRef(reference, XlfRange(3, 3, 0, 1)), XlfException);
    EXPECT_THROW(this->Impl().SetRef(reference, XlfRange(-1, 3, 0, 1)), XlfException);
    EXPECT_EQ(reference.GetType(), xltypeNil);
}

} // namespace
