#include "GatewayTest.h"
#include <vornix/Excel12RecordsDeclaration.h>
#include <vornix/XlfOper.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// Excel 2016 with an add-in that asked for Excel 12 records.
struct Excel16AskingMode {
    static constexpr int Version = 16;
    using Impl = vornix::XlfOperImpl12;
    using Record = XLOPER12;
};

class Excel12RecordsDeclarationTest : public GatewayTest<Excel16AskingMode> {
private:
    // Made before SetUp makes the gateway, as a declaration is made while the library loads.
    vornix::Excel12RecordsDeclaration asked_;
};

TEST_F(Excel12RecordsDeclarationTest, LaterExcelRunsExcel12Records) {
    EXPECT_TRUE(Gateway().IsExcel12Mode());
    EXPECT_EQ(Gateway().OperTypeCode(), "Q");
    EXPECT_EQ(Gateway().RefTypeCode(), "U");
    EXPECT_EQ(Gateway().WideStringTypeCode(), "C%");
    const std::string text(10000, 'x');
    const vornix::XlfOper long_(text);
    EXPECT_EQ(RecordOf(long_)->val.str[0], 10000);
    const vornix::XlfOper number(2.5);
    vornix::XlfOper coerced;
    ASSERT_EQ(xlretSuccess,
              Gateway().Call(xlCoerce, coerced.AsValuePointer(), 1, number.AsValuePointer()));
    EXPECT_TRUE(Excel().Calls().back().excel12) << "through the Excel 12 entry";
}

// Without the declaration Excel 14 to 16 keep Excel 4 records; with it, Excel before 12 does too.
TEST(Excel12RecordsDeclarationRule, OnlyAskingAddInsOfLaterExcelGetExcel12Records) {
    EXPECT_FALSE(vornix::Excel12RecordsDeclaration::Declared());
    {
        const vornix::Excel12RecordsDeclaration asked;
        EXPECT_TRUE(vornix::Excel12RecordsDeclaration::Declared());
    }
    EXPECT_FALSE(vornix::Excel12RecordsDeclaration::Declared());
}

class Excel11AskingTest : public GatewayTest<Excel4Mode> {
private:
    vornix::Excel12RecordsDeclaration asked_;
};

TEST_F(Excel11AskingTest, EarlierExcelKeepsExcel4Records) {
    EXPECT_FALSE(Gateway().IsExcel12Mode());
    EXPECT_EQ(Gateway().OperTypeCode(), "P");
}

class Excel16Test : public GatewayTest<Excel14Mode> {};

TEST_F(Excel16Test, WithoutTheDeclarationLaterExcelRunsExcel4Records) {
    EXPECT_FALSE(Gateway().IsExcel12Mode());
    EXPECT_EQ(Gateway().OperTypeCode(), "P");
}

} // namespace
