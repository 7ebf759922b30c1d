// What only the Excel 12 records do: 16-bit texts with Excel's own length limit, 32-bit values,
// and texts the current locale cannot convert.
#include "GatewayTest.h"
#include <vornix/XlfOper.h>

#include <gtest/gtest.h>

#include <string>

using vornix::CellMatrix;
using vornix::XlfOper;
using vornix::XlfRange;

namespace {

class XlfOperImpl12Test : public GatewayTest<Excel12Mode> {
protected:
    static const XCHAR* Counted(const XlfOper& oper) { return RecordOf(oper)->val.str; }
};

TEST_F(XlfOperImpl12Test, TextsAreCutToExcelsLimitInsteadOfWrapping) {
    const XlfOper narrow(std::string(40000, 'n'));
    EXPECT_EQ(Counted(narrow)[0], 32767);
    EXPECT_EQ(Counted(narrow)[32767], u'n');
    const XlfOper wide(std::wstring(70000, L'w'));
    EXPECT_EQ(Counted(wide)[0], 32767);
    const XlfOper empty("");
    EXPECT_EQ(Counted(empty)[0], 0);
}

TEST_F(XlfOperImpl12Test, BytesTheLocaleCannotConvertAreWidenedAsTheyAre) {
    const XlfOper text("caf\xe9");
    ASSERT_EQ(Counted(text)[0], 4);
    EXPECT_EQ(Counted(text)[4], 0x00E9);
    EXPECT_STREQ(text.AsString(), "caf\xe9");
}

TEST_F(XlfOperImpl12Test, UnitsBeyondABytesReachNarrowToQuestionMarks) {
    const XlfOper text(std::wstring(L"\u0141od\u017a"));
    EXPECT_STREQ(text.AsString(), "?od?");
    // Cells keep the units whole.
    const CellMatrix cells = text.AsCellMatrix();
    EXPECT_EQ(cells(0, 0).GetWideString(), std::wstring(L"\u0141od\u017a"));
}

TEST_F(XlfOperImpl12Test, NegativeBooleansAreTrueButNotAsCells) {
    XlfOper flag(true);
    RecordOf(flag)->val.xbool = -1;
    EXPECT_TRUE(flag.AsBool());
    EXPECT_FALSE(flag.AsCellMatrix()(0, 0).GetBoolean());
}

TEST_F(XlfOperImpl12Test, RecordLayoutsForOtherVersionsAreRefused) {
    const XlfOper number(1.0);
    EXPECT_EQ(number.AsXLOPER12(), number.AsValuePointer());
    EXPECT_EQ(Impl().ValuePointer(number), number.AsValuePointer());
    try {
        number.AsXLOPER();
        FAIL() << "no exception";
    } catch (const char* message) {
        EXPECT_STREQ(message, "Unable to convert Excel 12 datatype to Excel 4 datatype - operation "
                              "not yet implemented");
    }
}

TEST_F(XlfOperImpl12Test, ReferencesHoldOneAreaOfThirtyTwoBitBounds) {
    XlfOper reference;
    Impl().SetRef(reference, XlfRange(100000, 1048576, 20, 16384, 3));
    const XLMREF12* block = RecordOf(reference)->val.mref.lpmref;
    EXPECT_EQ(block->count, 1);
    EXPECT_EQ(block->reftbl[0].rwFirst, 100000);
    EXPECT_EQ(block->reftbl[0].rwLast, 1048575);
    EXPECT_EQ(block->reftbl[0].colFirst, 20);
    EXPECT_EQ(block->reftbl[0].colLast, 16383);
    EXPECT_EQ(RecordOf(reference)->val.mref.idSheet, 3u);
}

TEST_F(XlfOperImpl12Test, IntegersAndErrorsKeepTheirSign) {
    const XlfOper integer(short{-3}), error(short{-2}, true);
    EXPECT_EQ(RecordOf(integer)->val.w, -3);
    EXPECT_EQ(RecordOf(error)->val.err, -2);
    EXPECT_EQ(integer.AsDouble(), -3.0);
}

} // namespace
