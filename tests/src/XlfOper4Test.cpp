// The wrapper fixed to Excel 4 records, under Excel 4 and under Excel 12: its records and its
// calls to Excel are Excel 4 ones whatever Excel runs.
#include "GatewayTest.h"
#include <vornix/XlfException.h>
#include <vornix/XlfOper4.h>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

using vornix::CellMatrix;
using vornix::MatrixCell;
using vornix::XlfException;
using vornix::XlfOper4;
using vornix::XlfRange;
using xlstandin::HostValue;

namespace {

template <typename Mode> class XlfOper4Test : public GatewayTest<Mode> {
protected:
    static std::string CountedText(const XlfOper4& oper) {
        const char* counted = oper.AsXLOPER()->val.str;
        return std::string(counted + 1, static_cast<unsigned char>(counted[0]));
    }

    // A text as Excel passes it: counted, without a terminating NUL.
    static XlfOper4 ExcelText4(const std::string& text) {
        auto* counted = static_cast<char*>(
            GatewayTest<Mode>::Gateway().GetMemory(static_cast<unsigned>(text.size() + 1)));
        counted[0] = static_cast<char>(text.size());
        text.copy(counted + 1, text.size());
        XlfOper4 value;
        value.AsXLOPER()->val.str = counted;
        value.AsXLOPER()->xltype = xltypeStr;
        return value;
    }

    // A fresh value Excel filled with the text of number, owned by it.
    static XlfOper4 ExcelOwnedText(double number) {
        XlfOper4 text;
        EXPECT_EQ(XlfOper4::Coerce(XlfOper4(number), xltypeStr, text), xlretSuccess);
        EXPECT_TRUE(text.IsExcelOwned());
        return text;
    }

    // Every call of the function so far went through the Excel 4 entry.
    bool OnlyThroughExcel4(int xlfn) const {
        for (const xlstandin::CallbackCall& call : this->Excel().Calls())
            if (call.function == xlfn && call.excel12)
                return false;
        return true;
    }
};

using Excel4AndExcel12 = ::testing::Types<Excel4Mode, Excel12Mode>;
TYPED_TEST_SUITE(XlfOper4Test, Excel4AndExcel12);

// Registration texts reach Excel at their count: a counted NUL would become part of the
// function's name and of every help text.
TYPED_TEST(XlfOper4Test, TextsKeep254BytesAndCountOnlyTheirCharacters) {
    const XlfOper4 empty("");
    EXPECT_EQ(this->CountedText(empty), "");
    EXPECT_EQ(empty.AsXLOPER()->val.str[1], '\0');
    EXPECT_EQ(this->CountedText(XlfOper4(std::string("bin_Dec2Bin"))), "bin_Dec2Bin");
    testing::internal::CaptureStderr();
    const XlfOper4 cut(std::string(300, 't'));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "..\\..\\src\\XlfOper4(968): String truncated to 254 bytes\n");
    EXPECT_EQ(this->CountedText(cut), std::string(254, 't'));
    EXPECT_EQ(cut.AsXLOPER()->val.str[255], '\0');
}

TYPED_TEST(XlfOper4Test, CellMatricesKeepNarrowTextsOnly) {
    CellMatrix cells(1, 3);
    cells(0, 0) = MatrixCell(std::string("ab"));
    cells(0, 1) = MatrixCell(std::wstring(L"wide"));
    XlfOper4 array;
    array.SetCellMatrix(cells);
    // Texts count no NUL; wide and empty cells are the empty text (once one counted NUL).
    EXPECT_EQ(this->CountedText(array.ElementAt(0, 0)), "ab");
    for (int column : {1, 2}) {
        ASSERT_EQ(array.ElementAt(0, column).GetType(), xltypeStr);
        EXPECT_EQ(this->CountedText(array.ElementAt(0, column)), "");
    }
}

TYPED_TEST(XlfOper4Test, FailuresNameTheirCause) {
    try {
        XlfOper4(1.0).Rows();
        FAIL() << "no exception";
    } catch (const XlfException& error) {
        EXPECT_STREQ(error.what(),
                     "attempt to perform an xltypeMulti operation on a value of type 1");
    }
    this->Excel().FailNext(xlCoerce, xlretInvCount);
    try {
        this->ExcelText4("1").AsDouble();
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "invalid number of argument");
    }
    this->Excel().FailNext(xlCoerce, xlretInvCount);
    try {
        this->ExcelText4("1").AsDouble("n");
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "invalid number of argument, Conversion to double n");
    }
    try {
        XlfOper4::ThrowOnError(xlretInvCount, "n");
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "invalid number of argument, n");
    }
}

TYPED_TEST(XlfOper4Test, ExcelIsCalledThroughTheExcel4Entry) {
    EXPECT_EQ(this->ExcelText4("2.5").AsDouble(), 2.5);
    XlfOper4 number;
    ASSERT_EQ(XlfOper4::Coerce(this->ExcelText4("-0.75"), xltypeNum, number), xlretSuccess);
    EXPECT_EQ(number.GetType(), xltypeNum);
    EXPECT_EQ(number.AsXLOPER()->val.num, -0.75);
    EXPECT_EQ(this->CallCount(xlCoerce), 2);
    EXPECT_TRUE(this->OnlyThroughExcel4(xlCoerce));

    this->Excel().SetAddInName("C:\\x\\lib.xll");
    {
        XlfOper4 name;
        ASSERT_EQ(this->Gateway().Call4v(xlGetName, name.AsXLOPER(), 0, nullptr), xlretSuccess);
        EXPECT_EQ(name.GetType(), xltypeStr);
        EXPECT_TRUE(name.IsExcelOwned());
        {
            const XlfOper4 copy(name);
            EXPECT_FALSE(copy.IsExcelOwned());
            EXPECT_NE(copy.AsXLOPER(), name.AsXLOPER());
            EXPECT_NE(copy.AsXLOPER()->val.str, name.AsXLOPER()->val.str);
            XlfOper4 assigned(1.0);
            assigned = name;
            EXPECT_FALSE(assigned.IsExcelOwned());
            EXPECT_STREQ(assigned.AsString(), "C:\\x\\lib.xll");
        }
        EXPECT_EQ(this->CallCount(xlFree), 0);
        EXPECT_STREQ(name.AsString(), "C:\\x\\lib.xll");
        EXPECT_TRUE(name.IsExcelOwned());
    }
    EXPECT_EQ(this->CallCount(xlFree), 1);
    EXPECT_TRUE(this->OnlyThroughExcel4(xlFree));
}

TYPED_TEST(XlfOper4Test, FailedFreeIsLoggedNotThrown) {
    this->Excel().SetAddInName("C:\\x\\lib.xll");
    testing::internal::CaptureStderr();
    {
        XlfOper4 name;
        this->Gateway().Call4v(xlGetName, name.AsXLOPER(), 0, nullptr);
        this->Excel().FailNext(xlFree, xlretFailed);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "..\\..\\src\\XlfOper4(81): Call to xlFree failed\n");
    // The stand-in still holds the text it was not given back.
    this->Excel().Reset(TypeParam::Version);
}

TYPED_TEST(XlfOper4Test, ReferencesReadTheSheetCellByCell) {
    const XlfRange range(4, 6, 1, 3, 7);
    EXPECT_EQ(XlfOper4::RangeElement(range, 1, 0).AsRef(), XlfRange(5, 6, 1, 2, 7));
    auto& sheet = this->Excel().Sheet();
    sheet.SetCell(7, 4, 1, HostValue::Number(1));
    sheet.SetCell(7, 4, 2, HostValue::Number(2));
    sheet.SetCell(7, 5, 1, HostValue::Number(3));
    sheet.SetCell(7, 5, 2, HostValue::Number(4));
    XlfOper4 reference;
    reference.SetRef(range);
    EXPECT_EQ(reference.AsDoubleVector(vornix::RowByRow), (std::vector<double>{1, 2, 3, 4}));
    EXPECT_EQ(reference.AsDoubleVector(vornix::ColumnByColumn), (std::vector<double>{1, 3, 2, 4}));
    EXPECT_TRUE(this->OnlyThroughExcel4(xlCoerce));
}

// The ownership rules of XlfOper: only the wrapper that made the record Excel filled, or the one
// it was moved into, gives Excel's memory back.
TYPED_TEST(XlfOper4Test, OnlyTheMakerOfTheRecordGivesExcelsMemoryBack) {
    static_assert(sizeof(XlfOper4) == sizeof(void*), "a value is one pointer");
    {
        XlfOper4 text = this->ExcelOwnedText(2.5);
        {
            const XlfOper4 view(text.AsXLOPER());
            EXPECT_FALSE(view.IsExcelOwned());
            EXPECT_EQ(view.AsDouble(), 2.5);
        }
        EXPECT_EQ(this->CallCount(xlFree), 0);
        XlfOper4 moved(std::move(text));
        EXPECT_EQ(text.AsXLOPER(), nullptr);
        EXPECT_TRUE(moved.IsExcelOwned());
        XlfOper4 target(1.0);
        target = std::move(moved);
        EXPECT_TRUE(target.IsExcelOwned());
        EXPECT_EQ(this->CallCount(xlFree), 0);
        EXPECT_STREQ(target.AsString(), "2.5");
        target = this->ExcelOwnedText(3.5); // the first text goes back
        EXPECT_EQ(this->CallCount(xlFree), 1);
        EXPECT_STREQ(target.AsString(), "3.5");
    }
    EXPECT_EQ(this->CallCount(xlFree), 2);
    EXPECT_TRUE(this->OnlyThroughExcel4(xlFree));
}

TYPED_TEST(XlfOper4Test, AnElementAssignedToItsArrayIsCopiedFirst) {
    XlfOper4 array;
    ASSERT_EQ(XlfOper4::Coerce(this->ExcelText4("abc"), xltypeMulti, array), xlretSuccess);
    ASSERT_TRUE(array.IsExcelOwned());
    array = array.ElementAt(0, 0);
    EXPECT_EQ(this->CallCount(xlFree), 1);
    EXPECT_STREQ(array.AsString(), "abc");
}

// Every setter gives back what Excel put into the record before it overwrites it.
TYPED_TEST(XlfOper4Test, SettersGiveExcelsMemoryBackFirst) {
    const std::vector<std::pair<DWORD, std::function<void(XlfOper4&)>>> setters = {
        {xltypeNum, [](XlfOper4& value) { value.SetNumber(1.5); }},
        {xltypeInt, [](XlfOper4& value) { value.SetInt(3); }},
        {xltypeErr, [](XlfOper4& value) { value.SetIntOrError(7, true); }},
        {xltypeBool, [](XlfOper4& value) { value.SetBool(true); }},
        {xltypeErr, [](XlfOper4& value) { value.SetError(42); }},
        {xltypeStr, [](XlfOper4& value) { value.SetString("new"); }},
        {xltypeRef, [](XlfOper4& value) { value.SetRef(XlfRange(0, 1, 0, 1, 1)); }},
        {xltypeMulti, [](XlfOper4& value) { value.SetMulti(1, 2); }},
        {xltypeMulti, [](XlfOper4& value) { value.SetCellMatrix(CellMatrix(1, 1)); }},
        {xltypeMulti, [](XlfOper4& value) { value.Set(std::vector<double>{1}); }},
    };
    int freed = 0;
    for (const auto& setter : setters) {
        XlfOper4 value = this->ExcelOwnedText(9);
        setter.second(value);
        EXPECT_EQ(this->CallCount(xlFree), ++freed) << "type " << setter.first;
        EXPECT_EQ(this->Excel().OutstandingAllocations(), 0u);
        EXPECT_EQ(value.GetType(), setter.first);
        EXPECT_FALSE(value.IsExcelOwned());
    }
}

} // namespace
