// Contents Excel allocates for the library: which values own them, that they go back exactly
// once, that the records the library hands to Excel carry only Excel's own type bits, and that
// giving them back never needs a gateway. Both Excel modes.
#include "XlfExcelOwnership.h"
#include "GatewayTest.h"
#include "XlfOperImpl.h"
#include <vornix/XlfOper.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using vornix::CellMatrix;
using vornix::XlfExcel;
using vornix::XlfOper;
using vornix::XlfRange;

namespace {

template <typename Mode> class OwnershipTest : public GatewayTest<Mode> {
protected:
    // Excel's coercion of source to type, into a fresh value that then owns what Excel gave.
    XlfOper Coerced(const XlfOper& source, WORD type) {
        XlfOper result;
        const XlfOper wanted{static_cast<short>(type)};
        EXPECT_EQ(this->Gateway().Call(xlCoerce, result.AsValuePointer(), 2,
                                       source.AsValuePointer(), wanted.AsValuePointer()),
                  xlretSuccess);
        return result;
    }

    // The text of a value's one cell, whichever kind of text cell it is.
    static std::string CellText(const CellMatrix& cells) {
        return cells(0, 0).IsWideStringCell() ? std::string(cells(0, 0).GetWideString().begin(),
                                                            cells(0, 0).GetWideString().end())
                                              : cells(0, 0).GetString();
    }
};
TYPED_TEST_SUITE(OwnershipTest, BothModes);

// A failed call allocated nothing: the record keeps the library's own text, and no xlFree hands
// library memory to Excel (the stand-in would report it).
TYPED_TEST(OwnershipTest, AFailedCallOwnsNothing) {
    XlfOper result("library text");
    const XlfOper source(2.5), wanted{short{xltypeStr}};
    this->Excel().FailNext(xlCoerce, xlretFailed);
    EXPECT_EQ(this->Gateway().Call(xlCoerce, result.AsValuePointer(), 2, source.AsValuePointer(),
                                   wanted.AsValuePointer()),
              xlretFailed);
    EXPECT_EQ(result.GetType(), xltypeStr);
    EXPECT_FALSE(result.IsExcelOwned());
    EXPECT_STREQ(result.AsString(), "library text");
    {
        const XlfOper copy(result);
        EXPECT_EQ(copy.AsValuePointer(), result.AsValuePointer()); // plain values share
    }
    result = XlfOper(1.0);
    EXPECT_EQ(this->CallCount(xlFree), 0);
}

// Values Excel filled go back to Excel as arguments like any other: the stand-in refuses type
// bits Excel does not know, so a mark in the type word would fail these calls.
TYPED_TEST(OwnershipTest, ExcelOwnedValuesPassBackToExcelAsTheyAre) {
    const XlfOper text = this->Coerced(XlfOper(2.5), xltypeStr);
    ASSERT_TRUE(text.IsExcelOwned());
    EXPECT_EQ(text.GetType(), xltypeStr);
    EXPECT_EQ(text.AsDouble(), 2.5);
    EXPECT_EQ(this->CellText(text.AsCellMatrix()), "2.5");
    const XlfOper show(true);
    EXPECT_EQ(
        this->Gateway().Call(xlcMessage, nullptr, 2, show.AsValuePointer(), text.AsValuePointer()),
        xlretSuccess);
    EXPECT_EQ(this->Excel().StatusBarText(), "2.5");

    const XlfOper array = this->Coerced(XlfOper(4.5), xltypeMulti);
    ASSERT_TRUE(array.IsExcelOwned());
    EXPECT_EQ(array.GetType(), xltypeMulti);
    EXPECT_EQ(array.AsDoubleVector(), std::vector<double>{4.5});
    EXPECT_EQ(array.AsMatrix()(0, 0), 4.5);
    EXPECT_TRUE(this->Excel().FreeProblems().empty());
}

TYPED_TEST(OwnershipTest, ReferenceResultsAreOwnedAndCopiedWithTheirBlock) {
    XlfOper reference;
    this->Impl().SetRef(reference, XlfRange(2, 4, 1, 3, 7));
    {
        const XlfOper result = this->Coerced(reference, xltypeRef);
        ASSERT_EQ(result.GetType(), xltypeRef);
        EXPECT_TRUE(result.IsExcelOwned());
        EXPECT_EQ(this->Excel().OutstandingAllocations(), 1u);
        const XlfOper copy(result);
        EXPECT_FALSE(copy.IsExcelOwned());
        EXPECT_NE(this->RecordOf(copy)->val.mref.lpmref, this->RecordOf(result)->val.mref.lpmref);
        const XlfRange range = copy.AsRef();
        EXPECT_EQ(range.GetRowBegin(), 2);
        EXPECT_EQ(range.GetRowEnd(), 4);
        EXPECT_EQ(range.GetColBegin(), 1);
        EXPECT_EQ(range.GetColEnd(), 3);
        EXPECT_EQ(range.GetSheetId(), 7u);
    }
    EXPECT_EQ(this->CallCount(xlFree), 1);
    EXPECT_EQ(this->Excel().OutstandingAllocations(), 0u);
}

// An array's texts are Excel's too: a copy holds copies of them.
TYPED_TEST(OwnershipTest, ArrayResultsAreOwnedAndCopiedWithTheirTexts) {
    XlfOper copy;
    {
        const XlfOper array = this->Coerced(this->ExcelText("abc"), xltypeMulti);
        ASSERT_EQ(array.GetType(), xltypeMulti);
        EXPECT_TRUE(array.IsExcelOwned());
        copy = array;
        EXPECT_FALSE(copy.IsExcelOwned());
        EXPECT_NE(this->RecordOf(copy)->val.array.lparray,
                  this->RecordOf(array)->val.array.lparray);
        EXPECT_NE(this->RecordOf(copy(0, 0))->val.str, this->RecordOf(array(0, 0))->val.str);
        // Elements are views into the array and own nothing themselves.
        EXPECT_FALSE(array(0, 0).IsExcelOwned());
    }
    EXPECT_EQ(this->CallCount(xlFree), 1);
    EXPECT_EQ(this->Excel().OutstandingAllocations(), 0u);
    EXPECT_EQ(copy.Rows(), 1);
    EXPECT_STREQ(copy(0, 0).AsString(), "abc");
}

TYPED_TEST(OwnershipTest, AssigningToItselfOrToASharerChangesNothing) {
    {
        XlfOper text = this->Coerced(XlfOper(7.0), xltypeStr);
        XlfOper& same = text;
        text = same;
        const XlfOper sharer(text.AsValuePointer()); // wraps the very record
        text = sharer;
        EXPECT_TRUE(text.IsExcelOwned());
        EXPECT_EQ(this->CallCount(xlFree), 0);
        EXPECT_STREQ(text.AsString(), "7");
    }
    EXPECT_EQ(this->CallCount(xlFree), 1);
}

// Moving hands the contents on with the record: the moved-from value has nothing left to free.
TYPED_TEST(OwnershipTest, MovingHandsOwnershipOn) {
    XlfOper text = this->Coerced(XlfOper(7.0), xltypeStr);
    const LPXLFOPER record = text.AsValuePointer();
    XlfOper moved(std::move(text));
    EXPECT_EQ(moved.AsValuePointer(), record);
    EXPECT_TRUE(moved.IsExcelOwned());
    XlfOper target(1.0);
    target = std::move(moved);
    EXPECT_EQ(target.AsValuePointer(), record);
    EXPECT_EQ(this->CallCount(xlFree), 0);
    target = this->Coerced(XlfOper(8.0), xltypeStr); // the first text goes back
    EXPECT_EQ(this->CallCount(xlFree), 1);
    EXPECT_STREQ(target.AsString(), "8");
}

// A record may outlive the add-in's close; giving its contents back then uses the entry points
// already loaded and creates no gateway that nothing would delete. A wrapper of the record's
// pointer gives nothing back, also after the close: the record's holder does.
TYPED_TEST(OwnershipTest, FreeingAfterCloseMakesNoGateway) {
    this->Excel().SetAddInName("C:\\x\\lib.xll");
    // A record of the add-in's own: temporary memory goes with the gateway.
    typename TestFixture::Record record{};
    record.xltype = xltypeNil;
    auto* name = new XlfOper(static_cast<LPXLFOPER>(&record));
    ASSERT_EQ(this->Gateway().Call(xlGetName, name->AsValuePointer(), 0), xlretSuccess);
    delete XlfExcel::Existing();
    delete name;
    EXPECT_EQ(this->CallCount(xlFree), 0);
    EXPECT_EQ(XlfExcel::FreeExcelMemory(&record), xlretSuccess);
    EXPECT_EQ(XlfExcel::Existing(), nullptr);
    EXPECT_EQ(this->CallCount(xlFree), 1);
    EXPECT_EQ(this->Excel().OutstandingAllocations(), 0u);
    EXPECT_EQ(vornix::XlfExcelOwnership::Count(), 0u);
}

TYPED_TEST(OwnershipTest, RecordsFreedByHandAreForgotten) {
    typename TestFixture::Record result{};
    result.xltype = xltypeNil;
    ASSERT_EQ(this->Gateway().Call(xlCoerce, &result, 1, XlfOper(3.0).AsValuePointer()),
              xlretSuccess);
    EXPECT_EQ(vornix::XlfExcelOwnership::Count(), 0u); // a number holds nothing of Excel's
    const XlfOper wanted{short{xltypeStr}};
    ASSERT_EQ(this->Gateway().Call(xlCoerce, &result, 2, XlfOper(3.0).AsValuePointer(),
                                   wanted.AsValuePointer()),
              xlretSuccess);
    EXPECT_TRUE(vornix::XlfExcelOwnership::IsNoted(&result));
    EXPECT_EQ(this->Gateway().Call(xlFree, nullptr, 1, &result), xlretSuccess);
    EXPECT_FALSE(vornix::XlfExcelOwnership::IsNoted(&result));
    EXPECT_EQ(vornix::XlfExcelOwnership::Count(), 0u);
}

// A note for an address that has since been given other contents never matches.
TEST(XlfExcelOwnership, NotesMatchTheirContentsOnly) {
    XLOPER12 record{};
    XCHAR text[] = {1, u'a'};
    record.val.str = text;
    record.xltype = xltypeStr;
    vornix::XlfExcelOwnership::Note(&record);
    EXPECT_TRUE(vornix::XlfExcelOwnership::IsNoted(&record));
    record.val.num = 1.5;
    record.xltype = xltypeNum;
    EXPECT_FALSE(vornix::XlfExcelOwnership::IsNoted(&record));
    EXPECT_FALSE(vornix::XlfExcelOwnership::Forget(&record));
    EXPECT_EQ(vornix::XlfExcelOwnership::Count(), 0u);
    EXPECT_FALSE(vornix::XlfExcelOwnership::IsNoted(nullptr));
}

// An implementation that ends stops being current, so nothing is left pointing at it.
TEST(XlfOperImplLifetime, AnEndedImplementationIsNoLongerCurrent) {
    {
        const vornix::XlfOperImpl12 impl;
        EXPECT_EQ(vornix::XlfOperImpl::CurrentOrNull(), &impl);
    }
    EXPECT_EQ(vornix::XlfOperImpl::CurrentOrNull(), nullptr);
    EXPECT_THROW(vornix::XlfOperImpl::Current(), std::logic_error);
}

} // namespace

namespace {

// Excel's memory goes back only through the wrapper that made the record Excel filled: wrappers
// of its pointer (a helper taking LPXLFOPER, an element, a moved or copied view) never give it
// back, so the value stays readable until its maker goes.
TYPED_TEST(OwnershipTest, WrappersOfTheRecordPointerGiveNothingBack) {
    static_assert(sizeof(XlfOper) == sizeof(void*), "a value is one pointer");
    const auto readThrough = [](LPXLFOPER record) { return XlfOper(record).AsDouble(); };
    {
        const XlfOper text = this->Coerced(XlfOper(2.5), xltypeStr);
        {
            XlfOper view(text.AsValuePointer());
            EXPECT_FALSE(view.IsExcelOwned());
            XlfOper moved(std::move(view));
            EXPECT_FALSE(moved.IsExcelOwned());
            XlfOper assigned(1.0);
            assigned = std::move(moved); // taken as a copy is: contents of its own
            EXPECT_FALSE(assigned.IsExcelOwned());
            EXPECT_NE(assigned.AsValuePointer(), text.AsValuePointer());
            EXPECT_STREQ(assigned.AsString(), "2.5");
        }
        EXPECT_EQ(readThrough(text.AsValuePointer()), 2.5);
        EXPECT_EQ(this->CallCount(xlFree), 0);
        EXPECT_TRUE(text.IsExcelOwned());
        EXPECT_STREQ(text.AsString(), "2.5");
    }
    EXPECT_EQ(this->CallCount(xlFree), 1);
    EXPECT_EQ(this->Excel().OutstandingAllocations(), 0u);
}

// The library's own conversions coerce into records of their own and give back what Excel put
// there, once each.
TYPED_TEST(OwnershipTest, ConversionsGiveBackWhatTheyCoerced) {
    const XlfOper number(42.0);
    EXPECT_STREQ(number.AsString(), "42");
    EXPECT_EQ(this->ExcelText("7").AsDouble(), 7.0);
    EXPECT_EQ(this->CallCount(xlCoerce), 2);
    EXPECT_EQ(this->CallCount(xlFree), 1); // a number holds nothing of Excel's
}

// The source's value is taken before the target gives its own back: an element of an array
// Excel filled, assigned to that array, is copied first.
TYPED_TEST(OwnershipTest, AnElementAssignedToItsArrayIsCopiedFirst) {
    XlfOper array = this->Coerced(this->ExcelText("abc"), xltypeMulti);
    ASSERT_TRUE(array.IsExcelOwned());
    array = array(0, 0);
    EXPECT_EQ(this->CallCount(xlFree), 1);
    EXPECT_FALSE(array.IsExcelOwned());
    EXPECT_STREQ(array.AsString(), "abc");

    XlfOper other = this->Coerced(this->ExcelText("de"), xltypeMulti);
    const XlfOper element = other(0, 0);
    other = element;
    EXPECT_EQ(this->CallCount(xlFree), 2);
    EXPECT_STREQ(other.AsString(), "de");
    EXPECT_EQ(this->Excel().OutstandingAllocations(), 0u);
}

// A setter gives back what Excel put into the record before it overwrites it.
TYPED_TEST(OwnershipTest, SettersGiveExcelsMemoryBackFirst) {
    XlfOper value = this->Coerced(XlfOper(3.0), xltypeStr);
    value.Set(std::vector<double>{1, 2});
    EXPECT_EQ(this->CallCount(xlFree), 1);
    EXPECT_EQ(this->Excel().OutstandingAllocations(), 0u);
    EXPECT_FALSE(value.IsExcelOwned());
    EXPECT_EQ(value.AsDoubleVector(), (std::vector<double>{1, 2}));

    value = this->Coerced(this->ExcelText("x"), xltypeMulti);
    value.Set(vornix::DoubleMatrix(1, 1));
    EXPECT_EQ(this->CallCount(xlFree), 2);
    EXPECT_EQ(this->Excel().OutstandingAllocations(), 0u);
    EXPECT_EQ(value.AsMatrix()(0, 0), 0.0);

    // Through a wrapper of the pointer too: nothing could reach Excel's memory afterwards.
    const XlfOper owner = this->Coerced(XlfOper(4.0), xltypeStr);
    XlfOper(owner.AsValuePointer()).Set(std::vector<double>{5});
    EXPECT_EQ(this->CallCount(xlFree), 3);
    EXPECT_EQ(owner.AsDouble(), 5.0);
    EXPECT_EQ(this->Excel().OutstandingAllocations(), 0u);
}

} // namespace
