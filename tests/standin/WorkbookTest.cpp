// The workbook callbacks through both entries: the caller's cell, sheet ids and names, hidden
// names, formula evaluation, instance handles, free stack and event registration.
#include "LayoutTest.h"
#include "WorkbookCallbacks.h"

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

namespace {

using xlstandin::HostValue;
using xlstandin::xlEventRegister;
using xlstandin::xlfCaller;
using xlstandin::xlfEvaluate;
using xlstandin::xlfSetName;
using xlstandin::xlGetInstPtr;

template <typename Record> class WorkbookTest : public LayoutTest<Record> {
protected:
    Record* Answer(int xlfn, std::vector<Record*> args, int expectedCode = xlretSuccess) {
        Record* result = this->kit.Result();
        EXPECT_EQ(expectedCode, this->Call(xlfn, result, std::move(args))) << xlfn;
        return result;
    }
};
TYPED_TEST_SUITE(WorkbookTest, RecordLayouts, LayoutNames);

TYPED_TEST(WorkbookTest, CallerIsTheFormulasCellOrRefError) {
    auto* outside = this->Answer(xlfCaller, {});
    ASSERT_EQ(xltypeErr, outside->xltype);
    EXPECT_EQ(xlerrRef, outside->val.err);

    this->Excel().Workbook().SetCallerRow(2);
    auto* cell = this->Answer(xlfCaller, {});
    ASSERT_EQ(xltypeSRef, cell->xltype);
    EXPECT_EQ(2, cell->val.sref.ref.rwFirst);
    EXPECT_EQ(2, cell->val.sref.ref.rwLast);
    EXPECT_EQ(255, cell->val.sref.ref.colFirst) << "column IV";
    EXPECT_EQ(255, cell->val.sref.ref.colLast);
    this->Free(cell);
}

TYPED_TEST(WorkbookTest, SheetIdAndNameOfTheOneSheet) {
    auto* id = this->Answer(xlSheetId, {});
    ASSERT_EQ(xltypeRef, id->xltype);
    EXPECT_EQ(nullptr, id->val.mref.lpmref);
    EXPECT_EQ(this->Excel().Sheet().CurrentSheet(), id->val.mref.idSheet);
    this->Free(id); // no contents: nothing to give back, nothing reported
    auto* named = this->Answer(xlSheetId, {this->kit.Str("[BOOK1]sheet1")});
    EXPECT_EQ(xltypeRef, named->xltype);
    this->Answer(xlSheetId, {this->kit.Str("Sheet2")}, xlretFailed);

    auto* name = this->Answer(xlSheetNm, {named});
    ASSERT_EQ(xltypeStr, name->xltype);
    EXPECT_EQ("[Book1]Sheet1", TextOf(*name));
    this->Free(name);
    auto* current = this->Answer(xlSheetNm, {this->kit.SRef(0, 0, 0, 0)});
    EXPECT_EQ("[Book1]Sheet1", TextOf(*current));
    this->Free(current);
    this->Answer(xlSheetNm, {this->kit.Ref(77, {this->kit.SRef(0, 0, 0, 0)})}, xlretFailed);
    this->Answer(xlSheetNm, {this->kit.Num(1)}, xlretInvXloper);
}

TYPED_TEST(WorkbookTest, SheetIdAndNameOfNamedSheets) {
    this->Excel().Sheet().SheetNamed("Sheet2");
    this->Excel().Sheet().SheetNamed("My Sheet");
    auto* second = this->Answer(xlSheetId, {this->kit.Str("[Book1]sheet2")});
    ASSERT_EQ(xltypeRef, second->xltype);
    EXPECT_EQ(2u, second->val.mref.idSheet);
    auto* third = this->Answer(xlSheetId, {this->kit.Str("My Sheet")});
    EXPECT_EQ(3u, third->val.mref.idSheet);
    this->Answer(xlSheetId, {this->kit.Str("[Book2]Sheet2")}, xlretFailed);
    this->Answer(xlSheetId, {this->kit.Str("Sheet4")}, xlretFailed);

    auto* name = this->Answer(xlSheetNm, {third});
    EXPECT_EQ("[Book1]My Sheet", TextOf(*name));
    this->Free(name);
    auto* cells = this->Answer(xlSheetNm, {this->kit.Ref(2, {this->kit.SRef(0, 1, 0, 1)})});
    EXPECT_EQ("[Book1]Sheet2", TextOf(*cells));
    this->Free(cells);
    this->Answer(xlSheetNm, {this->kit.Ref(4, {this->kit.SRef(0, 0, 0, 0)})}, xlretFailed);
}

// Formulas name sheets in UTF-8; xlSheetNm answers the name as any other text: UTF-16 in
// XLOPER12 records, code page 1252 in XLOPER ones ("\xE4" for the "a" with diaeresis).
TYPED_TEST(WorkbookTest, SheetNamesBeyondAsciiAreAnsweredAsTexts) {
    const std::uintptr_t id = this->Excel().Sheet().SheetNamed("Bl\xC3\xA4tter");
    auto* name = this->Answer(xlSheetNm, {this->kit.Ref(id, {this->kit.SRef(0, 0, 0, 0)})});
    ASSERT_EQ(xltypeStr, name->xltype);
    EXPECT_EQ(14, static_cast<int>(name->val.str[0])) << "[Book1]Bl\u00E4tter";
    using Unit = std::make_unsigned_t<std::remove_pointer_t<decltype(name->val.str)>>;
    EXPECT_EQ(0xE4u, static_cast<Unit>(name->val.str[10]));
    this->Free(name);
}

TYPED_TEST(WorkbookTest, HiddenNamesAreSetEvaluatedAndDeleted) {
    auto* set = this->Answer(xlfSetName, {this->kit.Str("Rate"), this->kit.Num(0.25)});
    ASSERT_EQ(xltypeBool, set->xltype);
    EXPECT_TRUE(set->val.xbool);
    auto* rate = this->Answer(xlfEvaluate, {this->kit.Str("=RATE")});
    ASSERT_EQ(xltypeNum, rate->xltype);
    EXPECT_EQ(0.25, rate->val.num);

    auto* deleted = this->Answer(xlfSetName, {this->kit.Str("rate")});
    EXPECT_TRUE(deleted->val.xbool);
    auto* again = this->Answer(xlfSetName, {this->kit.Str("rate")});
    EXPECT_FALSE(again->val.xbool);
    auto* gone = this->Answer(xlfEvaluate, {this->kit.Str("Rate")});
    ASSERT_EQ(xltypeErr, gone->xltype);
    EXPECT_EQ(xlerrName, gone->val.err);
    auto* bad = this->Answer(xlfSetName, {this->kit.Num(3)});
    ASSERT_EQ(xltypeErr, bad->xltype);
    EXPECT_EQ(xlerrValue, bad->val.err);
}

TYPED_TEST(WorkbookTest, EvaluateReadsNumbersAndFormulasThroughTheHostsEvaluator) {
    auto* number = this->Answer(xlfEvaluate, {this->kit.Str("=2.5")});
    ASSERT_EQ(xltypeNum, number->xltype);
    EXPECT_EQ(2.5, number->val.num);
    auto* unread = this->Answer(xlfEvaluate, {this->kit.Str("=F(1)")});
    ASSERT_EQ(xltypeErr, unread->xltype) << "no evaluator: the formula cannot be read";
    EXPECT_EQ(xlerrValue, unread->val.err);

    std::string seen;
    this->Excel().Workbook().SetEvaluator([&](const std::string& formula, HostValue& value) {
        seen = formula;
        value = HostValue::Text("computed");
        return true;
    });
    auto* computed = this->Answer(xlfEvaluate, {this->kit.Str("=F(1)")});
    ASSERT_EQ(xltypeStr, computed->xltype);
    EXPECT_EQ("computed", TextOf(*computed));
    EXPECT_EQ("=F(1)", seen);
    this->Free(computed);
}

TYPED_TEST(WorkbookTest, InstanceHandleAndFreeStack) {
    const auto instance = reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr));
    if (sizeof(void*) == 4) {
        auto* inst = this->Answer(xlGetInst, {});
        ASSERT_EQ(xltypeInt, inst->xltype);
        const auto low = static_cast<std::uint32_t>(inst->val.w);
        EXPECT_EQ(TestFixture::IsExcel12 ? instance : (instance & 0xFFFF),
                  TestFixture::IsExcel12 ? low : (low & 0xFFFF));
    } else {
        this->Answer(xlGetInst, {}, xlretFailed);
    }
    this->Answer(xlGetInstPtr, {}, xlretInvXlfn); // Excel 2010 and later
    this->Excel().Reset(14);
    auto* pointer = this->Answer(xlGetInstPtr, {});
    ASSERT_EQ(xltypeBigData, pointer->xltype);
    EXPECT_EQ(instance, reinterpret_cast<std::uintptr_t>(pointer->val.bigdata.h.hdata));

    auto* stack = this->Answer(xlStack, {});
    ASSERT_EQ(xltypeInt, stack->xltype);
    if (TestFixture::IsExcel12) {
        EXPECT_GT(stack->val.w, 0);
        EXPECT_LE(stack->val.w, 65535);
    }
}

TYPED_TEST(WorkbookTest, EventRegistrationsAreRecorded) {
    this->Answer(xlEventRegister, {this->kit.Str("OnDone"), this->kit.Int(1)}, xlretInvXlfn);
    this->Excel().Reset(14);
    auto* accepted = this->Answer(xlEventRegister, {this->kit.Str("OnDone"), this->kit.Num(1)});
    ASSERT_EQ(xltypeInt, accepted->xltype);
    EXPECT_EQ(1, accepted->val.w);
    auto* refused = this->Answer(xlEventRegister, {this->kit.Num(1), this->kit.Num(1)});
    EXPECT_EQ(0, refused->val.w);
    const auto& events = this->Excel().Workbook().Events();
    ASSERT_EQ(1u, events.size());
    EXPECT_EQ("OnDone", events[0].procedure);
    EXPECT_EQ(1, events[0].event);
}

} // namespace
